#pragma once

#include "texture/decode.h"

#include <cstdint>
#include <vector>

// Which channels the 2D view shows.
struct Channels {
    bool red = true;
    bool green = true;
    bool blue = true;
    bool alpha = true;
    bool operator==(const Channels&) const = default;
};

inline constexpr Channels kAllChannels{};
inline constexpr Channels kColourWithoutAlpha{true, true, true, false};

// RGBA pixels ready to draw, and whether some let the checkerboard behind show through.
struct ChannelImage {
    std::vector<std::uint8_t> pixels;
    bool translucent = false;
};

// What the 2D view draws for a level: one channel alone as grey; colour channels with the
// others black, opaque without alpha and translucent by alpha with it; nothing chosen as
// black.
void ShowChannels(const pictavo::RgbaImage& image, Channels channels, ChannelImage& out);
