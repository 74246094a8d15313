#pragma once

#include "texture/decode.h"

#include <array>
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

// Where each shown channel comes from, as a texture swizzle picks it: a channel of the
// level, or a constant.
enum class SwizzleSource : int {
    kZero = 0,     // GL_ZERO
    kOne = 1,      // GL_ONE
    kRed = 0x1903, // GL_RED
    kGreen = 0x1904,
    kBlue = 0x1905,
    kAlpha = 0x1906,
};

// The swizzle of red, green, blue and alpha that shows the level's own pixels as
// ShowChannels prepares them, so a choice costs no decode and no upload.
std::array<SwizzleSource, 4> ChannelSwizzle(Channels channels);
// Whether what the choice shows lets the checkerboard through anywhere, given the level's
// lowest alpha: ShowChannels' `translucent`, without preparing the pixels.
bool ShowsTranslucent(Channels channels, std::uint8_t lowestAlpha);
std::uint8_t LowestAlpha(const pictavo::RgbaImage& image);
