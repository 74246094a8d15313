#include "block_flip.h"

#include <algorithm>
#include <utility>

namespace {

// Four rows of 2-bit colour indices, one byte per row.
void FlipColourIndexRows(std::uint8_t* rows) {
    std::swap(rows[0], rows[3]);
    std::swap(rows[1], rows[2]);
}

template <void (*Flip)(std::uint8_t*)>
void FlipBlocks(std::uint8_t* row, std::size_t rowBytes, std::size_t blockBytes) {
    for (std::size_t offset = 0; offset < rowBytes; offset += blockBytes) {
        Flip(row + offset);
    }
}

// Exchanges block rows from both ends towards the middle, flipping every block on the way.
template <void (*Flip)(std::uint8_t*)>
void FlipRows(std::uint8_t* level, std::size_t rowBytes, std::size_t rows, std::size_t blockBytes) {
    for (std::size_t top = 0, bottom = rows - 1; top <= bottom && bottom < rows; ++top, --bottom) {
        std::uint8_t* upper = level + top * rowBytes;
        std::uint8_t* lower = level + bottom * rowBytes;
        FlipBlocks<Flip>(upper, rowBytes, blockBytes);
        if (top != bottom) {
            FlipBlocks<Flip>(lower, rowBytes, blockBytes);
            std::swap_ranges(upper, upper + rowBytes, lower);
        }
    }
}

} // namespace

void FlipBlockDXT1(std::uint8_t* block) {
    FlipColourIndexRows(block + 4);
}

void FlipBlockDXT3(std::uint8_t* block) {
    // Explicit alpha: four rows of 16 bits.
    std::swap(block[0], block[6]);
    std::swap(block[1], block[7]);
    std::swap(block[2], block[4]);
    std::swap(block[3], block[5]);
    FlipColourIndexRows(block + 12);
}

void FlipBlockDXT5(std::uint8_t* block) {
    // Sixteen 3-bit alpha indices in bytes 2..7, four rows of 12 bits, row 0 lowest.
    std::uint64_t rows = 0;
    for (int i = 7; i >= 2; --i) {
        rows = (rows << 8) | block[i];
    }
    std::uint64_t flipped = ((rows & 0xFFF) << 36) | (((rows >> 12) & 0xFFF) << 24) |
                            (((rows >> 24) & 0xFFF) << 12) | ((rows >> 36) & 0xFFF);
    for (int i = 2; i < 8; ++i) {
        block[i] = static_cast<std::uint8_t>(flipped);
        flipped >>= 8;
    }
    FlipColourIndexRows(block + 12);
}

void FlipLevelVertically(const FormatInfo& info, std::uint32_t width, std::uint32_t height,
                         std::uint8_t* level, std::size_t size) {
    const std::size_t rowBytes =
        static_cast<std::size_t>(BlocksAcross(info, width)) * info.bytesPerBlock;
    const std::size_t rows = std::min<std::size_t>(BlocksAcross(info, height), size / rowBytes);
    if (rows == 0) {
        return;
    }
    switch (info.code) {
    case IWI_FMT_DXT1:
        FlipRows<FlipBlockDXT1>(level, rowBytes, rows, info.bytesPerBlock);
        break;
    case IWI_FMT_DXT3:
        FlipRows<FlipBlockDXT3>(level, rowBytes, rows, info.bytesPerBlock);
        break;
    case IWI_FMT_DXT5:
        FlipRows<FlipBlockDXT5>(level, rowBytes, rows, info.bytesPerBlock);
        break;
    default:
        break;
    }
}

void SwapRedAndBlue(std::uint8_t* pixels, std::size_t size, std::uint32_t pixelSize) {
    for (std::size_t i = 0; i + pixelSize <= size; i += pixelSize) {
        std::swap(pixels[i], pixels[i + 2]);
    }
}
