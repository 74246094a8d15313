#include "dds_reader.h"

#include "byte_order.h"
#include "texture/pixel_masks.h"
#include "texture_layout.h"

namespace pictavo {

namespace {

using namespace dds;

std::uint32_t At(std::span<const std::uint8_t> head, std::size_t offset) {
    return ReadU32LE(head.data() + offset);
}

// The block formats of the extended header: typeless, UNORM and sRGB forms decode alike.
int BlockFormatForDxgi(std::uint32_t dxgi) {
    if (dxgi >= 70 && dxgi <= 72) {
        return kFormatDxt1;
    }
    if (dxgi >= 73 && dxgi <= 75) {
        return kFormatDxt3;
    }
    if (dxgi >= 76 && dxgi <= 78) {
        return kFormatDxt5;
    }
    if (dxgi == 79 || dxgi == 80) {
        return kFormatBc4;
    }
    if (dxgi == 81) {
        return kFormatBc4Signed;
    }
    if (dxgi == 82 || dxgi == 83) {
        return kFormatBc5;
    }
    if (dxgi == 84) {
        return kFormatBc5Signed;
    }
    if (dxgi >= 97 && dxgi <= 99) {
        return kFormatBc7;
    }
    return 0;
}

// DXGI formats of uncompressed pixels, as the masks a plain header would give them. One and
// two channels are grey, and grey with alpha: that is how writers store L8, L16 and A8L8
// behind this header.
PixelMasks MasksForDxgi(std::uint32_t dxgi) {
    switch (dxgi) {
    case 28: // R8G8B8A8, and its sRGB twin
    case 29:
        return {32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000, false};
    case 87: // B8G8R8A8
    case 91:
        return MasksOf(kFormatBgra8);
    case 88: // B8G8R8X8
    case 93:
        return {32, 0xFF0000, 0xFF00, 0xFF, 0, false};
    case 85: // B5G6R5
        return {16, 0xF800, 0x07E0, 0x001F, 0, false};
    case 86: // B5G5R5A1
        return {16, 0x7C00, 0x03E0, 0x001F, 0x8000, false};
    case 115: // B4G4R4A4
        return {16, 0x0F00, 0x00F0, 0x000F, 0xF000, false};
    case 61: // R8
        return {8, 0xFF, 0, 0, 0, true};
    case 49: // R8G8
        return {16, 0xFF, 0, 0, 0xFF00, true};
    case 56: // R16
        return {16, 0xFFFF, 0, 0, 0, true};
    case 65: // A8
        return MasksOf(kFormatA8);
    default:
        return {};
    }
}

// The masks of a plain header's uncompressed pixel format. Writers set more flags than they
// need: the luminance flag makes grey even beside the RGB flag (8-bit grey with a red mask of
// 0xFF is no red picture), and the alpha mask counts with either alpha flag, alone (A8) or
// beside colour or grey.
PixelMasks MasksOfHeader(std::span<const std::uint8_t> head) {
    const std::uint32_t flags = At(head, kPixelFormatFlags);
    PixelMasks masks;
    masks.bits = At(head, kRGBBitCount);
    masks.alpha = (flags & (kPixelAlpha | kPixelAlphaOnly)) != 0 ? At(head, kABitMask) : 0;
    if ((flags & kPixelLuminance) != 0) {
        masks.red = At(head, kRBitMask);
        masks.luminance = true;
    } else if ((flags & kPixelRGB) != 0) {
        masks.red = At(head, kRBitMask);
        masks.green = At(head, kGBitMask);
        masks.blue = At(head, kBBitMask);
    } else if (masks.alpha == 0) {
        return {};
    }
    return masks;
}

} // namespace

TextureError ReadDdsInfo(std::span<const std::uint8_t> head, std::uint64_t fileSize,
                         TextureInfo& info) {
    info = TextureInfo{};
    TextureLayout& layout = TextureLayout::Of(info);
    info.container = Container::kDds;
    info.fileSize = fileSize;
    if (head.size() < 4 || At(head, kMagic) != kMagicValue) {
        return TextureError::kNotATexture;
    }
    if (head.size() < 128) {
        return TextureError::kTruncated;
    }
    const std::uint32_t flags = At(head, kFlags);
    if (At(head, kSize) != kHeaderSize || (flags & kFlagPixelFormat) == 0 ||
        (flags & kFlagCaps) == 0) {
        return TextureError::kDdsHeader;
    }
    layout.dataOffset = 128;
    const std::uint32_t caps2 = At(head, kCaps2);
    if ((caps2 & kCaps2Volume) != 0 || ((flags & kFlagDepth) != 0 && At(head, kDepth) > 1)) {
        return TextureError::kDdsVolume;
    }
    bool cube = (caps2 & kCaps2Cube) != 0;
    bool array = false;
    int format = 0;
    PixelMasks masks;
    const bool hasFourCC = (At(head, kPixelFormatFlags) & kPixelFourCC) != 0;
    layout.fourCC = hasFourCC ? At(head, kFourCC) : 0;
    if (!hasFourCC) {
        masks = MasksOfHeader(head);
    } else if (layout.fourCC == FourCC('D', 'X', '1', '0')) {
        if (head.size() < kDdsHeaderBytes) {
            return TextureError::kTruncated;
        }
        layout.dataOffset = kDdsHeaderBytes;
        if (At(head, kDimension) == kDimensionTexture3D) {
            return TextureError::kDdsVolume;
        }
        array = At(head, kArraySize) > 1;
        cube = cube || (At(head, kMiscFlags) & kMiscTextureCube) != 0;
        layout.dxgiFormat = At(head, kDxgiFormat);
        format = BlockFormatForDxgi(layout.dxgiFormat);
        masks = MasksForDxgi(layout.dxgiFormat);
    } else {
        format = FormatForFourCC(layout.fourCC);
    }
    layout.storedLayout = masks;
    if (masks.bits != 0) {
        format = UnpackedFormat(masks);
        // Pixels stored as the format code holds them are read as they are.
        if (masks == MasksOf(format)) {
            masks = {};
        }
    }
    layout.stored = masks;
    if (format == 0) {
        return TextureError::kDdsFormat;
    }
    info.format = static_cast<std::uint8_t>(format);
    // Texture arrays, and cube maps missing faces.
    if (array || (cube && (caps2 & kCaps2AllFaces) != kCaps2AllFaces && layout.dataOffset == 128)) {
        return TextureError::kDdsFormat;
    }
    info.faces = cube ? 6 : 1;
    info.width = At(head, kWidth);
    info.height = At(head, kHeight);
    if (info.width == 0 || info.height == 0 || info.width > kMaxSide || info.height > kMaxSide) {
        return TextureError::kBadSize;
    }
    const std::uint32_t count = (flags & kFlagMipMapCount) != 0 ? At(head, kMipMapCount) : 1;
    info.levels = count == 0 ? 1 : count;
    if (info.levels > MaxLevelCount(info.width, info.height)) {
        return TextureError::kBadSize;
    }
    const std::uint64_t data = info.DataBytes();
    if (fileSize < layout.dataOffset || fileSize - layout.dataOffset < data) {
        return TextureError::kTruncated;
    }
    layout.spareBytes = fileSize - layout.dataOffset - data;
    return TextureError::kNone;
}

} // namespace pictavo
