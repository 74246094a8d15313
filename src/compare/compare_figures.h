#pragma once

#include "texture/decode.h"

#include <array>
#include <cstdint>
#include <string>

namespace pictavo {

// How far two pictures of the same size lie apart.
struct CompareFigures {
    // Peak signal-to-noise ratio over red, green and blue, in dB; infinite when they agree.
    double psnr = 0;
    // The largest absolute difference of red, green, blue and alpha, 0 to 255.
    std::array<int, 4> largest{};
};

// False when the sizes differ.
bool Compare(const RgbaImage& a, const RgbaImage& b, CompareFigures& figures);

// The picture averaged down (or up) to `width` x `height`: each new pixel the mean of the
// area of old pixels it covers, in proportion to how much of each it covers.
RgbaImage ScaledTo(const RgbaImage& image, std::uint32_t width, std::uint32_t height);

// The absolute difference of the colour channels times `gain`, held at 255, opaque.
RgbaImage Difference(const RgbaImage& a, const RgbaImage& b, int gain);

// "PSNR 34.21 dB, largest difference R 12 G 9 B 15 A 0"; "identical" when they agree.
std::string FiguresText(const CompareFigures& figures);

} // namespace pictavo
