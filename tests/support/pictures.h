#pragma once

#include "texture/decode.h"

#include <cstdint>
#include <filesystem>

// Pictures for tests and benchmarks of the encoders, and how close two of them are.
namespace pictavo::testing {

// Smooth gradients with hard edges and some grain, alike for alike arguments; alpha varies
// across the picture when asked for, else it is 255.
RgbaImage TestPicture(std::uint32_t width, std::uint32_t height, bool alpha, unsigned seed = 1);

// A normal map of a hemisphere of `radius` texels bulging out of the middle of a flat square,
// X to the right, Y down the picture: in the games' layout (X in alpha, Y in red, green and
// blue) or plain (X, Y, Z in red, green, blue, alpha 255).
RgbaImage HemisphereNormalMap(std::uint32_t side, float radius, bool gamesLayout);

// Peak signal-to-noise ratio in dB over R, G, B and A (R, G, B alone when `colourOnly`);
// infinity for equal pixels, 0 for pictures of different sides.
double Psnr(const RgbaImage& a, const RgbaImage& b, bool colourOnly = false);

// A PNG file of the picture, and any picture file read back.
void WritePng(const std::filesystem::path& path, const RgbaImage& image);
RgbaImage ReadPicture(const std::filesystem::path& path);

} // namespace pictavo::testing
