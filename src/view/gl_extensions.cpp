#include "view/gl_extensions.h"

#include <cstdio>
#include <string>

GLExtensions theGLExtensions;

namespace {

template <class Function>
void LookUp(const GlProcLookup& lookUp, const char* name, Function& slot) {
    slot = reinterpret_cast<Function>(lookUp(name));
}

} // namespace

bool HasExtension(std::string_view list, std::string_view name) {
    if (name.empty()) {
        return false;
    }
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t end = list.find(' ', start);
        if (end == std::string_view::npos) {
            end = list.size();
        }
        if (list.substr(start, end - start) == name) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

bool LoadRequiredExtensions(std::string_view list, const GlProcLookup& lookUp,
                            GLExtensions& table) {
    if (!HasExtension(list, kMultitextureExtension) ||
        !HasExtension(list, kTextureEnvCombineExtension)) {
        return false;
    }
    LookUp(lookUp, "glMultiTexCoord2fARB", table.glMultiTexCoord2fARB);
    LookUp(lookUp, "glActiveTextureARB", table.glActiveTextureARB);
    LookUp(lookUp, "glClientActiveTextureARB", table.glClientActiveTextureARB);
    return true;
}

bool HasTextureSwizzle(std::string_view version, std::string_view extensions) {
    int major = 0;
    int minor = 0;
    // "major.minor", optionally followed by more; OpenGL ES contexts say "OpenGL ES" first.
    if (std::sscanf(std::string(version).c_str(), "%d.%d", &major, &minor) == 2 &&
        (major > 3 || (major == 3 && minor >= 3))) {
        return true;
    }
    return HasExtension(extensions, "GL_ARB_texture_swizzle") ||
           HasExtension(extensions, "GL_EXT_texture_swizzle");
}

void FillUploadTable(const GlProcLookup& lookUp, gl::EntryPoints& table) {
    LookUp(lookUp, "glGenTextures", table.GenTextures);
    LookUp(lookUp, "glDeleteTextures", table.DeleteTextures);
    LookUp(lookUp, "glBindTexture", table.BindTexture);
    LookUp(lookUp, "glTexParameteri", table.TexParameteri);
    LookUp(lookUp, "glTexParameterfv", table.TexParameterfv);
    LookUp(lookUp, "glPixelTransferf", table.PixelTransferf);
    LookUp(lookUp, "glPixelStorei", table.PixelStorei);
    LookUp(lookUp, "glTexImage2D", table.TexImage2D);
    LookUp(lookUp, "glCompressedTexImage2DARB", table.CompressedTexImage2DARB);
}

void SetSwapInterval(const GLExtensions& table, int interval) {
    if (table.swapControlAvailable && table.swapInterval) {
        table.swapInterval(interval);
    }
}
