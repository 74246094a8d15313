#pragma once

#include "texture/decode.h"

#include <cstdint>
#include <span>
#include <string>

namespace pictavo {

// Whether the bytes start like a picture DecodePicture reads: PNG, TGA, JPEG, BMP or PSD.
bool IsPicture(std::span<const std::uint8_t> bytes);

// The picture's first image as RGBA (16-bit channels rounded to 8). On failure, false and a
// few words on why in `failure`.
bool DecodePicture(std::span<const std::uint8_t> bytes, RgbaImage& out, std::string& failure);

} // namespace pictavo
