#pragma once

#include "texture/texture.h"

namespace pictavo {

// Level 0 of a cube map's six faces as one OpenGL cube map texture, in the context current
// when it is made: a lookup in direction (x, y, z) samples the face the direction points
// at, so a cube drawn with its corners' positions as texture coordinates shows every face on
// its own side, seams joined, each reading as its picture from outside.
class CubeMapTexture {
public:
    // Decodes and uploads the faces, replacing what was held; false, holding nothing, when
    // the texture is no cube map or a face does not decode.
    bool Upload(const Texture& texture);
    // Binds the texture to the current unit and enables cube mapping; Unbind undoes it.
    void Bind() const;
    static void Unbind();
    bool Empty() const { return name_ == 0; }
    // Needs the context it was made in to be current.
    void Delete();

private:
    unsigned int name_ = 0;
};

} // namespace pictavo
