#pragma once

#include "texture/decode.h"

#include <cstdint>
#include <vector>

namespace pictavo {

enum class MipFilter : std::uint8_t {
    kColour,    // R, G, B are sRGB: averaged in linear light
    kNormalMap, // R, G, B hold a unit vector: averaged, then made unit length again
};

// The next smaller level: sides halve downwards (1 stays 1) and each pixel averages the
// source pixels it covers. Alpha is averaged as stored.
RgbaImage HalveImage(const RgbaImage& image, MipFilter filter);

// Level 0 and every smaller level down to 1 x 1, level 0 first.
std::vector<RgbaImage> MakeMipChain(const RgbaImage& image, MipFilter filter);

} // namespace pictavo
