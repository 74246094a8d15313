// The scene of one frame: the camera, the emboss pass and the colour pass.
#include "settings/app_settings.h"
#include "view/gl_extensions.h"
#include "view/opengl_control.h"
#include "view/projection.h"
#include "view/scene_geometry.h"

#include <QtGui/qopengl.h>

namespace {

void EmitColourVertices(const Face& face) {
    for (const TexturedVertex& vertex : face.vertices) {
        glTexCoord2f(vertex.s, vertex.t);
        glVertex3f(vertex.position.x, vertex.position.y, vertex.position.z);
    }
}

// Unit 1 reads the inverted normal map shifted towards the light, so that their sum shows
// the relief.
void EmitEmbossVertices(const Face& face, const LightVector& light) {
    for (const TexturedVertex& vertex : face.vertices) {
        const EmbossOffset offset =
            ComputeEmbossOffset(vertex.position, light, face.tangent, face.binormal);
        theGLExtensions.glMultiTexCoord2fARB(GL_TEXTURE0_ARB, vertex.s, vertex.t);
        theGLExtensions.glMultiTexCoord2fARB(GL_TEXTURE1_ARB, vertex.s + offset.du,
                                             vertex.t + offset.dv);
        glVertex3f(vertex.position.x, vertex.position.y, vertex.position.z);
    }
}

void SelectTextureUnit(GLenum unit) {
    theGLExtensions.glActiveTextureARB(unit);
    theGLExtensions.glClientActiveTextureARB(unit);
}

void CombineTextureUnit(GLuint texture, GLint operation) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_EXT);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_EXT, operation);
}

} // namespace

void COpenGLControl::DrawScene() {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    const ViewCamera& camera = Camera();
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -camera.distance);
    glRotatef(camera.rotationX, 1.0f, 0.0f, 0.0f);
    glRotatef(camera.rotationY, 0.0f, 1.0f, 0.0f);
    if (material_) {
        DrawMaterial();
        return;
    }
    ScaleToImage();

    if (theSettings.MergeBUMP && theSettings.normalMapLoaded) {
        DrawEmbossPass(ComputeLightVector(camera.rotationX, camera.rotationY));
        if (theSettings.embossOn) {
            return; // the relief alone
        }
    }
    DrawColourPass();
}

void COpenGLControl::DrawEmbossPass(const LightVector& light) {
    SelectTextureUnit(GL_TEXTURE0_ARB);
    glEnable(GL_BLEND);
    CombineTextureUnit(loader_.normalTexture, GL_REPLACE);
    SelectTextureUnit(GL_TEXTURE1_ARB);
    CombineTextureUnit(loader_.invertedNormalTexture, GL_ADD);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);

    glBegin(GL_QUADS);
    if (theSettings.new_3DCubeView) {
        for (const Face& face : kCube) {
            EmitEmbossVertices(face, light);
        }
    } else {
        EmitEmbossVertices(kPlane, light);
    }
    glEnd();

    theGLExtensions.glActiveTextureARB(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    theGLExtensions.glActiveTextureARB(GL_TEXTURE0_ARB);
}

void COpenGLControl::DrawColourPass() {
    // With GL_LEQUAL this lands on the emboss pass's depth and blends over it by its alpha.
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, loader_.colorTexture);
    // The level chosen in the level list shows on the plane and the cube as in 2D.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, Level());
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glEnable(GL_LIGHTING);
    // The start-up picture stays flat even in cube view.
    if (theSettings.new_3DCubeView && !theSettings.defaultImageShown) {
        DrawCubeMap();
    } else {
        DrawPlane();
    }
}

void COpenGLControl::DrawPlane() {
    glBegin(GL_QUADS);
    glNormal3f(kPlane.normal.x, kPlane.normal.y, kPlane.normal.z);
    EmitColourVertices(kPlane);
    glEnd();
}

void COpenGLControl::DrawCube() {
    glBegin(GL_QUADS);
    for (const Face& face : kCube) {
        glNormal3f(face.normal.x, face.normal.y, face.normal.z);
        EmitColourVertices(face);
    }
    glEnd();
}

void COpenGLControl::ScaleToImage() {
    const AspectScale scale = ComputeAspectScale(loader_.width, loader_.height);
    glScalef(scale.x, scale.y, 1.0f);
}
