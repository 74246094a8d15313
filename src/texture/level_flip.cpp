#include "texture/level_flip.h"

#include "block_flip.h"
#include "byte_order.h"

#include <algorithm>
#include <utility>

namespace pictavo {

namespace {

// A block as little-endian 64-bit words: one for DXT1, two for DXT3 and DXT5.
struct Words {
    std::uint64_t low;
    std::uint64_t high;
};

// Colour half of a block: two 16-bit colours, then four rows of 2-bit indices, a byte each.
std::uint64_t FlipColourHalf(std::uint64_t half) {
    const std::uint64_t rows = half >> 32;
    const std::uint64_t flipped = ((rows & 0xFF) << 24) | ((rows & 0xFF00) << 8) |
                                  ((rows >> 8) & 0xFF00) | ((rows >> 24) & 0xFF);
    return (half & 0xFFFFFFFF) | (flipped << 32);
}

// Explicit alpha: four rows of 16 bits.
std::uint64_t FlipExplicitAlpha(std::uint64_t alpha) {
    return ((alpha & 0xFFFF) << 48) | (((alpha >> 16) & 0xFFFF) << 32) |
           (((alpha >> 32) & 0xFFFF) << 16) | (alpha >> 48);
}

// Interpolated alpha: two 8-bit alpha values, then four rows of 12 bits of 3-bit indices.
std::uint64_t FlipInterpolatedAlpha(std::uint64_t alpha) {
    const std::uint64_t rows = alpha >> 16;
    const std::uint64_t flipped = ((rows & 0xFFF) << 36) | (((rows >> 12) & 0xFFF) << 24) |
                                  (((rows >> 24) & 0xFFF) << 12) | ((rows >> 36) & 0xFFF);
    return (alpha & 0xFFFF) | (flipped << 16);
}

struct Dxt1 {
    static constexpr std::size_t kBytes = 8;
    static Words Flip(Words block) { return {FlipColourHalf(block.low), 0}; }
};

struct Dxt3 {
    static constexpr std::size_t kBytes = 16;
    static Words Flip(Words block) {
        return {FlipExplicitAlpha(block.low), FlipColourHalf(block.high)};
    }
};

struct Dxt5 {
    static constexpr std::size_t kBytes = 16;
    static Words Flip(Words block) {
        return {FlipInterpolatedAlpha(block.low), FlipColourHalf(block.high)};
    }
};

template <class Format> Words Load(const std::uint8_t* block) {
    Words words{ReadU64LE(block), 0};
    if constexpr (Format::kBytes == 16) {
        words.high = ReadU64LE(block + 8);
    }
    return words;
}

template <class Format> void Store(std::uint8_t* block, Words words) {
    WriteU64LE(block, words.low);
    if constexpr (Format::kBytes == 16) {
        WriteU64LE(block + 8, words.high);
    }
}

template <class Format> void FlipInPlace(std::uint8_t* block) {
    Store<Format>(block, Format::Flip(Load<Format>(block)));
}

// Exchanges block rows from both ends towards the middle, flipping every block on the way.
template <class Format> void FlipRows(std::uint8_t* level, std::size_t rowBytes, std::size_t rows) {
    for (std::size_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom) {
        std::uint8_t* upper = level + top * rowBytes;
        std::uint8_t* lower = level + bottom * rowBytes;
        for (std::size_t offset = 0; offset < rowBytes; offset += Format::kBytes) {
            const Words a = Load<Format>(upper + offset);
            const Words b = Load<Format>(lower + offset);
            Store<Format>(upper + offset, Format::Flip(b));
            Store<Format>(lower + offset, Format::Flip(a));
        }
    }
    if (rows % 2 == 1) {
        std::uint8_t* middle = level + (rows / 2) * rowBytes;
        for (std::size_t offset = 0; offset < rowBytes; offset += Format::kBytes) {
            FlipInPlace<Format>(middle + offset);
        }
    }
}

} // namespace

void FlipBlockDXT1(std::uint8_t* block) {
    FlipInPlace<Dxt1>(block);
}

void FlipBlockDXT3(std::uint8_t* block) {
    FlipInPlace<Dxt3>(block);
}

void FlipBlockDXT5(std::uint8_t* block) {
    FlipInPlace<Dxt5>(block);
}

bool FlipLevelVertically(const FormatInfo& format, std::uint32_t width, std::uint32_t height,
                         std::uint8_t* level, std::size_t size) {
    const std::size_t rowBytes =
        static_cast<std::size_t>(BlocksAcross(format, width)) * format.bytesPerBlock;
    const std::size_t rows = std::min<std::size_t>(BlocksAcross(format, height), size / rowBytes);
    if (rows == 0) {
        return true; // nothing to turn
    }
    switch (format.code) {
    case kFormatDxt1:
        FlipRows<Dxt1>(level, rowBytes, rows);
        return true;
    case kFormatDxt3:
        FlipRows<Dxt3>(level, rowBytes, rows);
        return true;
    case kFormatDxt5:
        FlipRows<Dxt5>(level, rowBytes, rows);
        return true;
    default:
        break;
    }
    if (format.compressed) {
        return false;
    }
    // Pixel rows are exchanged whole.
    for (std::size_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(level + top * rowBytes, level + (top + 1) * rowBytes,
                         level + bottom * rowBytes);
    }
    return true;
}

void SwapRedAndBlue(std::uint8_t* pixels, std::size_t size, std::uint32_t pixelSize) {
    for (std::size_t i = 0; i + pixelSize <= size; i += pixelSize) {
        std::swap(pixels[i], pixels[i + 2]);
    }
}

} // namespace pictavo
