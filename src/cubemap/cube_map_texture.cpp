#include "cubemap/cube_map_texture.h"

#include "cubemap/cube_faces.h"

#include <GL/gl.h>

#ifndef GL_TEXTURE_CUBE_MAP
#define GL_TEXTURE_CUBE_MAP 0x8513
#define GL_TEXTURE_CUBE_MAP_POSITIVE_X 0x8515
#endif
#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif
#ifndef GL_GENERATE_MIPMAP
#define GL_GENERATE_MIPMAP 0x8191
#endif

namespace pictavo {

bool CubeMapTexture::Upload(const Texture& texture) {
    Delete();
    std::array<RgbaImage, kCubeFaces> faces;
    if (!DecodeCubeFaces(texture, 0, faces)) {
        return false;
    }
    glGenTextures(1, &name_);
    glBindTexture(GL_TEXTURE_CUBE_MAP, name_);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    // Seams sample their own face's edge, never the other side of the texture.
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_GENERATE_MIPMAP, GL_TRUE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    // The faces' order is OpenGL's own, and both rules count rows from the top.
    for (std::uint32_t face = 0; face < kCubeFaces; ++face) {
        glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_RGBA8, GLsizei(faces[face].width),
                     GLsizei(faces[face].height), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     faces[face].pixels.data());
    }
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    return true;
}

void CubeMapTexture::Bind() const {
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_TEXTURE_CUBE_MAP);
    glBindTexture(GL_TEXTURE_CUBE_MAP, name_);
}

void CubeMapTexture::Unbind() {
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    glDisable(GL_TEXTURE_CUBE_MAP);
    glEnable(GL_TEXTURE_2D);
}

void CubeMapTexture::Delete() {
    if (name_ != 0) {
        glDeleteTextures(1, &name_);
        name_ = 0;
    }
}

} // namespace pictavo
