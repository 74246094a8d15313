#include "dds_header.h"

#include "byte_order.h"
#include "image_format.h"

namespace pictavo::dds {

namespace {

void Set(DDSHeaderBytes& header, Field field, std::uint32_t value) {
    WriteU32LE(header.data() + field, value);
}

constexpr std::uint32_t kFlagsWritten = 0x1007; // caps, height, width, pixel format
constexpr std::uint32_t kPixelRGB = 0x40;
constexpr std::uint32_t kPixelAlpha = 0x1;
constexpr std::uint32_t kCapsTexture = 0x1000;
constexpr std::uint32_t kCapsMipMappedTexture = 0x401008; // complex, texture, mipmap

} // namespace

std::uint32_t Get(const DDSHeaderBytes& header, Field field) {
    return ReadU32LE(header.data() + field);
}

int FormatForFourCC(std::uint32_t fourCC) {
    if (fourCC == FourCC('D', 'X', 'T', '1')) {
        return IWI_FMT_DXT1;
    }
    if (fourCC == FourCC('D', 'X', 'T', '3')) {
        return IWI_FMT_DXT3;
    }
    if (fourCC == FourCC('D', 'X', 'T', '5')) {
        return IWI_FMT_DXT5;
    }
    return 0;
}

DDSHeaderBytes Make(int formatCode, std::uint32_t width, std::uint32_t height,
                    std::uint32_t levelCount) {
    DDSHeaderBytes header{};
    Set(header, kMagic, kMagicValue);
    Set(header, kSize, kHeaderSize);
    Set(header, kHeight, height);
    Set(header, kWidth, width);
    Set(header, kPixelFormatSize, 32);

    const bool uncompressed = formatCode == IWI_FMT_RGBA8 || formatCode == IWI_FMT_RGB;
    if (uncompressed) {
        const bool alpha = formatCode == IWI_FMT_RGBA8;
        Set(header, kFlags, kFlagsWritten);
        Set(header, kPixelFormatFlags, alpha ? kPixelRGB | kPixelAlpha : kPixelRGB);
        Set(header, kRGBBitCount, alpha ? 32 : 24);
        Set(header, kRBitMask, 0x00FF0000);
        Set(header, kGBitMask, 0x0000FF00);
        Set(header, kBBitMask, 0x000000FF);
        Set(header, kABitMask, alpha ? 0xFF000000 : 0);
        Set(header, kCaps, kCapsTexture);
        return header;
    }

    Set(header, kFlags, levelCount != 0 ? kFlagsWritten | kFlagMipMapCount : kFlagsWritten);
    Set(header, kMipMapCount, levelCount);
    Set(header, kPixelFormatFlags, kPixelFourCC);
    const char last = formatCode == IWI_FMT_DXT3 ? '3' : formatCode == IWI_FMT_DXT5 ? '5' : '1';
    Set(header, kFourCC, FourCC('D', 'X', 'T', last));
    Set(header, kCaps, kCapsMipMappedTexture);
    return header;
}

} // namespace pictavo::dds
