#pragma once

#include <cstdint>
#include <vector>

namespace pictavo::testing {

struct Texel {
    int r = 0;
    int g = 0;
    int b = 0;
    int a = 0;
};

// Decodes DXT5 blocks into texels, row by row in the order the blocks are stored, written
// from the S3TC format description for checking what the view shows.
std::vector<Texel> DecodeDxt5(const std::uint8_t* blocks, int width, int height);

} // namespace pictavo::testing
