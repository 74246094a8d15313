#pragma once

#include <cstdint>

// The few OpenGL calls the texture upload makes, reached through a process-wide table that
// the view fills from its context. The image core so links no OpenGL library, and tests
// can put a recorder in its place.
#if defined(_WIN32) && !defined(_WIN64)
#define PICTAVO_GLAPI __stdcall
#else
#define PICTAVO_GLAPI
#endif

namespace gl {

using Enum = unsigned int;
using UInt = unsigned int;
using Int = int;
using SizeI = int;
using Float = float;

constexpr Enum kTexture2D = 0x0DE1;
constexpr Enum kTextureMinFilter = 0x2801;
constexpr Enum kTextureMagFilter = 0x2800;
constexpr Enum kTextureWrapS = 0x2802;
constexpr Enum kTextureWrapT = 0x2803;
constexpr Enum kTextureBorderColor = 0x1004;
constexpr Enum kNearest = 0x2600;
constexpr Enum kLinear = 0x2601;
constexpr Enum kClamp = 0x2900;
constexpr Enum kRedScale = 0x0D14;
constexpr Enum kGreenScale = 0x0D18;
constexpr Enum kBlueScale = 0x0D1A;
constexpr Enum kUnpackAlignment = 0x0CF5;
constexpr Enum kUnsignedByte = 0x1401;
constexpr Enum kRGB = 0x1907;
constexpr Enum kRGBA = 0x1908;
constexpr Enum kRGB8 = 0x8051;
constexpr Enum kAlpha = 0x1906;
constexpr Enum kLuminanceAlpha = 0x190A;
constexpr Enum kAlpha8 = 0x803C;
constexpr Enum kLuminance8Alpha8 = 0x8045;
constexpr Enum kRGBA8 = 0x8058;
constexpr Enum kCompressedDXT1 = 0x83F1;
constexpr Enum kCompressedDXT3 = 0x83F2;
constexpr Enum kCompressedDXT5 = 0x83F3;

struct EntryPoints {
    void(PICTAVO_GLAPI* GenTextures)(SizeI n, UInt* textures) = nullptr;
    void(PICTAVO_GLAPI* DeleteTextures)(SizeI n, const UInt* textures) = nullptr;
    void(PICTAVO_GLAPI* BindTexture)(Enum target, UInt texture) = nullptr;
    void(PICTAVO_GLAPI* TexParameteri)(Enum target, Enum name, Int value) = nullptr;
    void(PICTAVO_GLAPI* TexParameterfv)(Enum target, Enum name, const Float* values) = nullptr;
    void(PICTAVO_GLAPI* PixelTransferf)(Enum name, Float value) = nullptr;
    void(PICTAVO_GLAPI* PixelStorei)(Enum name, Int value) = nullptr;
    void(PICTAVO_GLAPI* TexImage2D)(Enum target, Int level, Int internalFormat, SizeI width,
                                    SizeI height, Int border, Enum format, Enum type,
                                    const void* pixels) = nullptr;
    // From GL_ARB_texture_compression; the view fetches it as glCompressedTexImage2DARB.
    void(PICTAVO_GLAPI* CompressedTexImage2DARB)(Enum target, Int level, Enum internalFormat,
                                                 SizeI width, SizeI height, Int border,
                                                 SizeI imageSize, const void* data) = nullptr;

    // True once every entry has been filled.
    bool Complete() const;
};

// The table of this process; empty until the view fills it.
EntryPoints& Api();

} // namespace gl
