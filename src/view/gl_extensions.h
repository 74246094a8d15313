#pragma once

#include "image/gl_api.h"

#include <functional>
#include <string_view>

using GlProc = void (*)();
// Finds an OpenGL entry point by name in the current context; null when unknown.
using GlProcLookup = std::function<GlProc(const char* name)>;

// The extension entry points the view draws with, one table for the process.
struct GLExtensions {
    void(PICTAVO_GLAPI* glMultiTexCoord2fARB)(gl::Enum unit, gl::Float s, gl::Float t) = nullptr;
    void(PICTAVO_GLAPI* glActiveTextureARB)(gl::Enum unit) = nullptr;
    void(PICTAVO_GLAPI* glClientActiveTextureARB)(gl::Enum unit) = nullptr;
    // The platform's swap-interval call (wglSwapIntervalEXT or its GLX counterpart) bound to
    // the view's window; set only when the platform lists its swap-control extension.
    std::function<void(int interval)> swapInterval;
    bool swapControlAvailable = false;
    // GL_TEXTURE_SWIZZLE_*: the 2D mode picks channels as it samples.
    bool textureSwizzle = false;
};

extern GLExtensions theGLExtensions;

inline constexpr char kMultitextureExtension[] = "GL_ARB_multitexture";
inline constexpr char kTextureEnvCombineExtension[] = "GL_EXT_texture_env_combine";

// Whether a context of this version ("4.5 (Compatibility Profile) Mesa 22.3.6") and these
// extensions swizzles texture channels: OpenGL 3.3 and later, or either swizzle extension.
bool HasTextureSwizzle(std::string_view version, std::string_view extensions);

// Whether `name` equals one whole blank-separated entry of `list`, case-sensitively.
bool HasExtension(std::string_view list, std::string_view name);

// Looks up the multitexture entry points into `table`, only when both extensions the view
// needs are listed. False when one is missing.
bool LoadRequiredExtensions(std::string_view list, const GlProcLookup& lookUp, GLExtensions& table);

// Fills every entry of the texture upload's table, glCompressedTexImage2DARB among them.
void FillUploadTable(const GlProcLookup& lookUp, gl::EntryPoints& table);

// Calls the swap-interval entry point when the platform offers one; otherwise nothing.
void SetSwapInterval(const GLExtensions& table, int interval);
