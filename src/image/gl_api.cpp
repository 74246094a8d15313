#include "image/gl_api.h"

namespace gl {

bool EntryPoints::Complete() const {
    return GenTextures && DeleteTextures && BindTexture && TexParameteri && TexParameterfv &&
           PixelTransferf && PixelStorei && TexImage2D && CompressedTexImage2DARB;
}

EntryPoints& Api() {
    static EntryPoints table;
    return table;
}

} // namespace gl
