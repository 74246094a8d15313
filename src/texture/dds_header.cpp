#include "dds_header.h"

#include "byte_order.h"
#include "texture/pixel_format.h"
#include "texture/pixel_masks.h"

namespace pictavo::dds {

namespace {

void Set(DdsHeaderBytes& header, Field field, std::uint32_t value) {
    WriteU32LE(header.data() + field, value);
}

constexpr std::uint32_t kFlagsWritten = 0x1007; // caps, height, width, pixel format
constexpr std::uint32_t kCapsTexture = 0x1000;
constexpr std::uint32_t kCapsComplex = 0x8;
constexpr std::uint32_t kCapsMipMappedTexture = 0x401008; // complex, texture, mipmap
constexpr std::uint32_t kDxgiBc7 = 98;                    // BC7_UNORM

struct FourCCFormat {
    std::uint32_t fourCC;
    int format;
};

// A format is written with its first FourCC here; all of them are read.
constexpr FourCCFormat kFourCCs[] = {
    {FourCC('D', 'X', 'T', '1'), kFormatDxt1},      {FourCC('D', 'X', 'T', '3'), kFormatDxt3},
    {FourCC('D', 'X', 'T', '5'), kFormatDxt5},      {FourCC('A', 'T', 'I', '1'), kFormatBc4},
    {FourCC('B', 'C', '4', 'U'), kFormatBc4},       {FourCC('B', 'C', '4', 'S'), kFormatBc4Signed},
    {FourCC('A', 'T', 'I', '2'), kFormatBc5},       {FourCC('B', 'C', '5', 'U'), kFormatBc5},
    {FourCC('B', 'C', '5', 'S'), kFormatBc5Signed},
};

// BC7 has no FourCC of its own: it is written behind the extended header.
std::uint32_t FourCCFor(int formatCode) {
    for (const FourCCFormat& known : kFourCCs) {
        if (known.format == formatCode) {
            return known.fourCC;
        }
    }
    return FourCC('D', 'X', '1', '0');
}

// The pixel format flags that say what the masks hold.
std::uint32_t PixelFlags(const PixelMasks& masks) {
    if (!masks.luminance && masks.red == 0 && masks.green == 0 && masks.blue == 0) {
        return kPixelAlphaOnly;
    }
    const std::uint32_t kind = masks.luminance ? kPixelLuminance : kPixelRGB;
    return masks.alpha != 0 ? kind | kPixelAlpha : kind;
}

} // namespace

std::uint32_t Get(const DdsHeaderBytes& header, Field field) {
    return ReadU32LE(header.data() + field);
}

int FormatForFourCC(std::uint32_t fourCC) {
    for (const FourCCFormat& known : kFourCCs) {
        if (known.fourCC == fourCC) {
            return known.format;
        }
    }
    return 0;
}

DdsHeaderBytes Make(int formatCode, std::uint32_t width, std::uint32_t height,
                    std::uint32_t levelCount, std::uint32_t faces) {
    DdsHeaderBytes header{};
    Set(header, kMagic, kMagicValue);
    Set(header, kSize, kHeaderSize);
    Set(header, kHeight, height);
    Set(header, kWidth, width);
    Set(header, kPixelFormatSize, 32);

    const FormatInfo* info = FindFormat(formatCode);
    if (info != nullptr && !info->compressed) {
        Set(header, kFlags, levelCount > 1 ? kFlagsWritten | kFlagMipMapCount : kFlagsWritten);
        Set(header, kMipMapCount, levelCount > 1 ? levelCount : 0);
        Set(header, kCaps, levelCount > 1 ? kCapsMipMappedTexture : kCapsTexture);
        const PixelMasks masks = MasksOf(formatCode);
        Set(header, kPixelFormatFlags, PixelFlags(masks));
        Set(header, kRGBBitCount, masks.bits);
        Set(header, kRBitMask, masks.red);
        Set(header, kGBitMask, masks.green);
        Set(header, kBBitMask, masks.blue);
        Set(header, kABitMask, masks.alpha);
    } else {
        Set(header, kFlags, levelCount != 0 ? kFlagsWritten | kFlagMipMapCount : kFlagsWritten);
        Set(header, kMipMapCount, levelCount);
        Set(header, kPixelFormatFlags, kPixelFourCC);
        Set(header, kFourCC, FourCCFor(info != nullptr ? formatCode : kFormatDxt1));
        Set(header, kCaps, kCapsMipMappedTexture);
    }
    if (faces == 6) {
        Set(header, kCaps, Get(header, kCaps) | kCapsComplex);
        Set(header, kCaps2, kCaps2Cube | kCaps2AllFaces);
    }
    return header;
}

bool NeedsExtendedHeader(int formatCode) {
    return formatCode == kFormatBc7;
}

ExtendedHeaderBytes MakeExtended(int formatCode, std::uint32_t faces) {
    ExtendedHeaderBytes header{};
    WriteU32LE(header.data() + kDxgiFormat - 128, formatCode == kFormatBc7 ? kDxgiBc7 : 0);
    WriteU32LE(header.data() + kDimension - 128, kDimensionTexture2D);
    WriteU32LE(header.data() + kMiscFlags - 128, faces == 6 ? kMiscTextureCube : 0);
    WriteU32LE(header.data() + kArraySize - 128, 1);
    return header;
}

} // namespace pictavo::dds
