#include "dxt5_decoder.h"

namespace pictavo::testing {
namespace {

Texel Expand565(unsigned value) {
    const int r = int(value >> 11 & 31), g = int(value >> 5 & 63), b = int(value & 31);
    return {r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2, 255};
}

} // namespace

std::vector<Texel> DecodeDxt5(const std::uint8_t* blocks, int width, int height) {
    std::vector<Texel> texels(std::size_t(width) * height);
    const std::uint8_t* block = blocks;
    for (int by = 0; by < height; by += 4) {
        for (int bx = 0; bx < width; bx += 4, block += 16) {
            int alpha[8] = {block[0], block[1]};
            for (int i = 2; i < 8; ++i) {
                alpha[i] = alpha[0] > alpha[1] ? ((8 - i) * alpha[0] + (i - 1) * alpha[1]) / 7
                           : i < 6             ? ((6 - i) * alpha[0] + (i - 1) * alpha[1]) / 5
                           : i == 6            ? 0
                                               : 255;
            }
            std::uint64_t alphaBits = 0;
            for (int i = 0; i < 6; ++i) {
                alphaBits |= std::uint64_t(block[2 + i]) << (8 * i);
            }
            const Texel c0 = Expand565(unsigned(block[8] | block[9] << 8));
            const Texel c1 = Expand565(unsigned(block[10] | block[11] << 8));
            const Texel palette[4] = {
                c0,
                c1,
                {(2 * c0.r + c1.r) / 3, (2 * c0.g + c1.g) / 3, (2 * c0.b + c1.b) / 3, 255},
                {(c0.r + 2 * c1.r) / 3, (c0.g + 2 * c1.g) / 3, (c0.b + 2 * c1.b) / 3, 255}};
            const std::uint32_t colourBits =
                std::uint32_t(block[12]) | std::uint32_t(block[13]) << 8 |
                std::uint32_t(block[14]) << 16 | std::uint32_t(block[15]) << 24;
            for (int k = 0; k < 16; ++k) {
                Texel texel = palette[colourBits >> (2 * k) & 3];
                texel.a = alpha[alphaBits >> (3 * k) & 7];
                texels[std::size_t(by + k / 4) * width + std::size_t(bx + k % 4)] = texel;
            }
        }
    }
    return texels;
}

} // namespace pictavo::testing
