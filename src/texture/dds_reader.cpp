#include "dds_reader.h"

#include "byte_order.h"

namespace pictavo {

namespace {

using namespace dds;

std::uint32_t At(std::span<const std::uint8_t> head, std::size_t offset) {
    return ReadU32LE(head.data() + offset);
}

// DXGI formats of the extended header that hold what our format codes hold.
int FormatForDxgi(std::uint32_t dxgi) {
    if (dxgi >= 70 && dxgi <= 72) {
        return kFormatDxt1;
    }
    if (dxgi >= 73 && dxgi <= 75) {
        return kFormatDxt3;
    }
    if (dxgi >= 76 && dxgi <= 78) {
        return kFormatDxt5;
    }
    if (dxgi == 87 || dxgi == 91) { // B8G8R8A8
        return kFormatBgra8;
    }
    if (dxgi == 65) { // A8
        return kFormatA8;
    }
    return 0;
}

bool Masks(std::span<const std::uint8_t> head, std::uint32_t r, std::uint32_t g, std::uint32_t b,
           std::uint32_t a) {
    return At(head, kRBitMask) == r && At(head, kGBitMask) == g && At(head, kBBitMask) == b &&
           At(head, kABitMask) == a;
}

// Uncompressed layouts whose bytes are those of one of our format codes.
int FormatForMasks(std::span<const std::uint8_t> head) {
    const std::uint32_t flags = At(head, kPixelFormatFlags);
    const std::uint32_t bits = At(head, kRGBBitCount);
    if ((flags & kPixelRGB) != 0) {
        if (bits == 32 &&
            Masks(head, 0xFF0000, 0xFF00, 0xFF, (flags & kPixelAlpha) ? 0xFF000000 : 0)) {
            return kFormatBgra8;
        }
        if (bits == 24 && Masks(head, 0xFF0000, 0xFF00, 0xFF, 0)) {
            return kFormatBgr8;
        }
        return 0;
    }
    if ((flags & kPixelLuminance) != 0 && (flags & kPixelAlpha) != 0 && bits == 16 &&
        Masks(head, 0xFF, 0, 0, 0xFF00)) {
        return kFormatLa8;
    }
    if (flags == kPixelAlphaOnly && bits == 8 && At(head, kABitMask) == 0xFF) {
        return kFormatA8;
    }
    return 0;
}

} // namespace

bool DdsHasUndefinedAlpha(std::span<const std::uint8_t> head) {
    return head.size() >= 128 &&
           (At(head, kPixelFormatFlags) & (kPixelFourCC | kPixelAlpha)) == 0 &&
           At(head, kRGBBitCount) == 32;
}

TextureError ReadDdsInfo(std::span<const std::uint8_t> head, std::uint64_t fileSize,
                         TextureInfo& info) {
    info = TextureInfo{};
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
    info.dataOffset = 128;
    int format = 0;
    bool cube = (At(head, kCaps2) & kCaps2Cube) != 0;
    const std::uint32_t fourCC = At(head, kFourCC);
    if ((At(head, kPixelFormatFlags) & kPixelFourCC) == 0) {
        format = FormatForMasks(head);
    } else if (fourCC == FourCC('D', 'X', '1', '0')) {
        if (head.size() < kDdsHeaderBytes) {
            return TextureError::kTruncated;
        }
        info.dataOffset = kDdsHeaderBytes;
        format = FormatForDxgi(At(head, 128));
        const std::uint32_t arraySize = At(head, 140);
        cube = cube || (At(head, 136) & 0x4) != 0;
        if (arraySize > 1 || At(head, 132) == 4) { // texture arrays, volumes
            return TextureError::kDdsFormat;
        }
    } else {
        format = FormatForFourCC(fourCC);
    }
    if (format == 0) {
        return TextureError::kDdsFormat;
    }
    if ((At(head, kCaps2) & kCaps2Volume) != 0 ||
        (cube && (At(head, kCaps2) & kCaps2AllFaces) != kCaps2AllFaces && info.dataOffset == 128)) {
        return TextureError::kDdsFormat; // volumes and cube maps missing faces
    }
    info.format = static_cast<std::uint8_t>(format);
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
    if (fileSize < info.dataOffset || fileSize - info.dataOffset < data) {
        return TextureError::kTruncated;
    }
    info.spareBytes = fileSize - info.dataOffset - data;
    return TextureError::kNone;
}

} // namespace pictavo
