#pragma once

#include "texture/texture_writer.h"

#include <array>
#include <cstdint>

namespace pictavo::dds {

// Byte offsets of the fields the program reads or writes.
enum Field : unsigned {
    kMagic = 0,
    kSize = 4,
    kFlags = 8,
    kHeight = 12,
    kWidth = 16,
    kDepth = 24,
    kMipMapCount = 28,
    kPixelFormatSize = 76,
    kPixelFormatFlags = 80,
    kFourCC = 84,
    kRGBBitCount = 88,
    kRBitMask = 92,
    kGBitMask = 96,
    kBBitMask = 100,
    kABitMask = 104,
    kCaps = 108,
    kCaps2 = 112,
};

constexpr std::uint32_t kMagicValue = 0x20534444; // "DDS "
constexpr std::uint32_t kHeaderSize = 124;
constexpr std::uint32_t kFlagCaps = 0x1;
constexpr std::uint32_t kFlagPixelFormat = 0x1000;
constexpr std::uint32_t kFlagMipMapCount = 0x20000;
constexpr std::uint32_t kFlagDepth = 0x800000;
constexpr std::uint32_t kPixelFourCC = 0x4;
constexpr std::uint32_t kPixelAlpha = 0x1;
constexpr std::uint32_t kPixelAlphaOnly = 0x2;
constexpr std::uint32_t kPixelRGB = 0x40;
constexpr std::uint32_t kPixelLuminance = 0x20000;
constexpr std::uint32_t kCaps2Cube = 0x200;
constexpr std::uint32_t kCaps2AllFaces = 0xFC00;
constexpr std::uint32_t kCaps2Volume = 0x200000;
// The extended header some writers put after the 128 bytes, marked by FourCC "DX10", and the
// byte offsets of its fields.
constexpr std::uint32_t kExtendedHeaderSize = 20;
enum ExtendedField : unsigned {
    kDxgiFormat = 128,
    kDimension = 132,
    kMiscFlags = 136,
    kArraySize = 140,
};
constexpr std::uint32_t kDimensionTexture2D = 3;
constexpr std::uint32_t kDimensionTexture3D = 4;
constexpr std::uint32_t kMiscTextureCube = 0x4;
using ExtendedHeaderBytes = std::array<std::uint8_t, kExtendedHeaderSize>;

// A FourCC such as "DXT1" as stored little-endian.
constexpr std::uint32_t FourCC(char a, char b, char c, char d) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(a)) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 8) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(d)) << 24);
}

std::uint32_t Get(const DdsHeaderBytes& header, Field field);

// The format code of a block format's FourCC (DXT1, DXT3, DXT5, ATI1, BC4U, BC4S, ATI2, BC5U,
// BC5S); 0 for any other.
int FormatForFourCC(std::uint32_t fourCC);

// Header of a DDS file written from an image of this format code, size, level count and
// number of faces (6 for a cube map).
DdsHeaderBytes Make(int formatCode, std::uint32_t width, std::uint32_t height,
                    std::uint32_t levelCount, std::uint32_t faces = 1);

// Whether a DDS file of this format needs the extended header after Make's, and that header.
bool NeedsExtendedHeader(int formatCode);
ExtendedHeaderBytes MakeExtended(int formatCode, std::uint32_t faces = 1);

} // namespace pictavo::dds
