#include "dds_header.h"

#include "byte_order.h"
#include "pixel_format.h"
#include "pixel_masks.h"

namespace pictavo::dds {

namespace {

void Set(DDSHeaderBytes& header, Field field, std::uint32_t value) {
    WriteU32LE(header.data() + field, value);
}

constexpr std::uint32_t kFlagsWritten = 0x1007; // caps, height, width, pixel format
constexpr std::uint32_t kCapsTexture = 0x1000;
constexpr std::uint32_t kCapsComplex = 0x8;
constexpr std::uint32_t kCapsMipMappedTexture = 0x401008; // complex, texture, mipmap

// The pixel format flags that say what the masks hold.
std::uint32_t PixelFlags(const PixelMasks& masks) {
    if (!masks.luminance && masks.red == 0 && masks.green == 0 && masks.blue == 0) {
        return kPixelAlphaOnly;
    }
    const std::uint32_t kind = masks.luminance ? kPixelLuminance : kPixelRGB;
    return masks.alpha != 0 ? kind | kPixelAlpha : kind;
}

} // namespace

std::uint32_t Get(const DDSHeaderBytes& header, Field field) {
    return ReadU32LE(header.data() + field);
}

int FormatForFourCC(std::uint32_t fourCC) {
    if (fourCC == FourCC('D', 'X', 'T', '1')) {
        return kFormatDxt1;
    }
    if (fourCC == FourCC('D', 'X', 'T', '3')) {
        return kFormatDxt3;
    }
    if (fourCC == FourCC('D', 'X', 'T', '5')) {
        return kFormatDxt5;
    }
    return 0;
}

DDSHeaderBytes Make(int formatCode, std::uint32_t width, std::uint32_t height,
                    std::uint32_t levelCount, std::uint32_t faces) {
    DDSHeaderBytes header{};
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
        const char last = formatCode == kFormatDxt3 ? '3' : formatCode == kFormatDxt5 ? '5' : '1';
        Set(header, kFourCC, FourCC('D', 'X', 'T', last));
        Set(header, kCaps, kCapsMipMappedTexture);
    }
    if (faces == 6) {
        Set(header, kCaps, Get(header, kCaps) | kCapsComplex);
        Set(header, kCaps2, kCaps2Cube | kCaps2AllFaces);
    }
    return header;
}

} // namespace pictavo::dds
