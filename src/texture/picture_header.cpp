#include "picture_header.h"

#include "byte_order.h"
#include "picture_budget.h"

#include <algorithm>
#include <initializer_list>
#include <string>

namespace pictavo {

namespace {

constexpr std::size_t kTgaHeaderSize = 18;
constexpr std::size_t kBmpFileHeaderSize = 14;

bool OneOf(unsigned value, std::initializer_list<unsigned> allowed) {
    return std::find(allowed.begin(), allowed.end(), value) != allowed.end();
}

bool StartsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> start) {
    return bytes.size() >= start.size() && std::equal(start.begin(), start.end(), bytes.begin());
}

// The header fields stb accepts: colour-mapped, true-colour or grey, raw or run-length.
bool IsTgaHeader(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kTgaHeaderSize) {
        return false;
    }
    const unsigned mapType = bytes[1];
    const unsigned imageType = bytes[2];
    const unsigned pixelBits = bytes[16];
    const bool mapped = mapType == 1 && OneOf(imageType, {1, 9}) &&
                        OneOf(bytes[7], {8, 15, 16, 24, 32}) && OneOf(pixelBits, {8, 16});
    const bool direct =
        mapType == 0 && OneOf(imageType, {2, 3, 10, 11}) && OneOf(pixelBits, {8, 15, 16, 24, 32});
    return (mapped || direct) && ReadU16LE(&bytes[12]) != 0 && ReadU16LE(&bytes[14]) != 0;
}

bool IsBmpHeader(std::span<const std::uint8_t> bytes) {
    return StartsWith(bytes, {'B', 'M'}) && bytes.size() >= kBmpFileHeaderSize + 4 &&
           OneOf(ReadU32LE(&bytes[kBmpFileHeaderSize]), {12, 40, 56, 108, 124});
}

} // namespace

PictureKind PictureKindOf(std::span<const std::uint8_t> bytes) {
    if (StartsWith(bytes, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'})) {
        return PictureKind::kPng;
    }
    if (StartsWith(bytes, {0xFF, 0xD8, 0xFF})) {
        return PictureKind::kJpeg;
    }
    if (StartsWith(bytes, {'8', 'B', 'P', 'S'})) {
        return PictureKind::kPsd;
    }
    if (IsBmpHeader(bytes)) {
        return PictureKind::kBmp;
    }
    return IsTgaHeader(bytes) ? PictureKind::kTga : PictureKind::kNone;
}

Status CheckTgaHeader(std::span<const std::uint8_t> bytes) {
    const std::uint64_t width = ReadU16LE(&bytes[12]);
    const std::uint64_t height = ReadU16LE(&bytes[14]);
    if (Status budget = WithinPictureBudget(width, height); !budget) {
        return budget;
    }
    const bool mapped = bytes[1] == 1;
    const std::uint64_t mapBytes = mapped ? ReadU16LE(&bytes[5]) * ((bytes[7] + 7u) / 8) : 0;
    const std::uint64_t start = kTgaHeaderSize + bytes[0] + mapBytes;
    const std::uint64_t pixelBytes = (bytes[16] + 7u) / 8;
    const std::uint64_t pixels = width * height;
    // A run-length packet is a byte and one pixel for up to 128 pixels.
    const bool runLength = bytes[2] >= 9;
    const std::uint64_t needed =
        runLength ? (pixels + 127) / 128 * (1 + pixelBytes) : pixels * pixelBytes;
    return BytesCanHold(start + needed, bytes.size());
}

Status CheckBmpHeader(std::span<const std::uint8_t> bytes) {
    const std::uint32_t headerSize = ReadU32LE(&bytes[kBmpFileHeaderSize]);
    const bool core = headerSize == 12;
    // The fields read below: width, height, planes, bits and, past the core header, compression.
    if (Status fields = BytesCanHold(kBmpFileHeaderSize + (core ? 12 : 20), bytes.size());
        !fields) {
        return fields;
    }
    const std::uint8_t* info = &bytes[kBmpFileHeaderSize + 4];
    const std::int64_t width = core ? ReadU16LE(info) : static_cast<std::int32_t>(ReadU32LE(info));
    // Negative heights are stored top row first.
    const std::int64_t storedHeight =
        core ? ReadU16LE(info + 2) : static_cast<std::int32_t>(ReadU32LE(info + 4));
    const std::int64_t height = storedHeight < 0 ? -storedHeight : storedHeight;
    const unsigned bits = ReadU16LE(info + (core ? 6 : 10));
    if (Status budget = WithinPictureBudget(width < 0 ? 0 : width, height); !budget) {
        return budget;
    }
    if (!OneOf(bits, {1, 4, 8, 16, 24, 32})) {
        return Failure(TextureError::kPictureKind,
                       "BMP files of " + std::to_string(bits) + " bits a pixel are not read");
    }
    if (!core && OneOf(ReadU32LE(info + 12), {1, 2})) {
        return Failure(TextureError::kPictureKind, "run-length encoded BMP files are not read");
    }
    // Rows are padded to four bytes; the last one may be cut short.
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bits + 7) / 8;
    const std::uint64_t stride = (rowBytes + 3) / 4 * 4;
    const std::uint64_t start =
        std::max<std::uint64_t>(ReadU32LE(&bytes[10]), kBmpFileHeaderSize + headerSize);
    return BytesCanHold(start + stride * (height - 1) + rowBytes, bytes.size());
}

} // namespace pictavo
