// A cube map on the cube: every side shows its own face, sampled in the directions the side
// covers.
#include "cubemap/cube_faces.h"
#include "view/opengl_control.h"
#include "view/scene_geometry.h"

#include <QtGui/qopengl.h>

void COpenGLControl::DrawCubeMap() {
    const std::shared_ptr<const pictavo::Texture> shown = loader_.ShownTexture();
    if (shown != cubeMapSource_) {
        cubeMapSource_ = shown;
        cubeMap_.Delete();
        if (shown && shown->info.faces == pictavo::kCubeFaces) {
            cubeMap_.Upload(*shown);
        }
    }
    if (cubeMap_.Empty()) {
        DrawCube();
        return;
    }
    cubeMap_.Bind();
    glBegin(GL_QUADS);
    for (const Face& face : kCube) {
        glNormal3f(face.normal.x, face.normal.y, face.normal.z);
        for (const TexturedVertex& vertex : face.vertices) {
            // A corner's position is the direction it lies in from the cube's centre.
            glTexCoord3f(vertex.position.x, vertex.position.y, vertex.position.z);
            glVertex3f(vertex.position.x, vertex.position.y, vertex.position.z);
        }
    }
    glEnd();
    pictavo::CubeMapTexture::Unbind();
}
