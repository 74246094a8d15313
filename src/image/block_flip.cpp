#include "block_flip.h"

#include <cstring>
#include <utility>

namespace {

// Four rows of 2-bit colour indices, one byte per row.
void FlipColourIndexRows(std::uint8_t* rows) {
    std::swap(rows[0], rows[3]);
    std::swap(rows[1], rows[2]);
}

std::uint32_t SwapTwelveBitHalves(std::uint32_t v) {
    return ((v >> 12) & 0xFFF) | ((v & 0xFFF) << 12);
}

void FlipBlock(IWIFormat code, std::uint8_t* block) {
    switch (code) {
    case IWI_FMT_DXT1:
        FlipBlockDXT1(block);
        break;
    case IWI_FMT_DXT3:
        FlipBlockDXT3(block);
        break;
    case IWI_FMT_DXT5:
        FlipBlockDXT5(block);
        break;
    default:
        break;
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
    // Sixteen 3-bit alpha indices: rows 0 and 1 in bytes 2..4, rows 2 and 3 in bytes 5..7.
    const std::uint32_t a = block[2] | (block[3] << 8) | (block[4] << 16);
    const std::uint32_t b = block[5] | (block[6] << 8) | (block[7] << 16);
    const std::uint32_t flippedA = SwapTwelveBitHalves(a);
    const std::uint32_t flippedB = SwapTwelveBitHalves(b);
    block[2] = static_cast<std::uint8_t>(flippedB);
    block[3] = static_cast<std::uint8_t>(flippedB >> 8);
    block[4] = static_cast<std::uint8_t>(flippedB >> 16);
    block[5] = static_cast<std::uint8_t>(flippedA);
    block[6] = static_cast<std::uint8_t>(flippedA >> 8);
    block[7] = static_cast<std::uint8_t>(flippedA >> 16);
    FlipColourIndexRows(block + 12);
}

std::vector<std::uint8_t> FlipLevelVertically(const FormatInfo& info, std::uint32_t width,
                                              std::uint32_t height, const std::uint8_t* level,
                                              std::size_t size) {
    std::vector<std::uint8_t> out(size);
    const std::size_t rowBytes =
        static_cast<std::size_t>(BlocksAcross(info, width)) * info.bytesPerBlock;
    const std::size_t rows = BlocksAcross(info, height);
    for (std::size_t r = 0; r < rows && (r + 1) * rowBytes <= size; ++r) {
        std::uint8_t* dst = out.data() + size - (r + 1) * rowBytes;
        std::memcpy(dst, level + r * rowBytes, rowBytes);
        for (std::size_t offset = 0; offset < rowBytes; offset += info.bytesPerBlock) {
            FlipBlock(info.code, dst + offset);
        }
    }
    return out;
}

void SwapRedAndBlue(std::uint8_t* pixels, std::size_t size, std::uint32_t pixelSize) {
    for (std::size_t i = 0; i + pixelSize <= size; i += pixelSize) {
        std::swap(pixels[i], pixels[i + 2]);
    }
}
