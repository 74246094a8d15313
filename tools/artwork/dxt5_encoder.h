#pragma once

#include <cstdint>
#include <vector>

namespace pictavo::tools {

struct Rgba {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;
};

// Compresses an image whose sides are multiples of 4 into DXT5 blocks, 16 bytes per 4 x 4
// block, blocks in row order. Pixels are in row order too, the first row first.
std::vector<std::uint8_t> EncodeDxt5(const std::vector<Rgba>& pixels, int width, int height);

} // namespace pictavo::tools
