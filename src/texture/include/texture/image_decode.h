#pragma once

#include "texture/decode.h"
#include "texture/result.h"

#include <cstdint>
#include <span>

namespace pictavo {

// Whether the bytes start like a picture DecodePicture reads: PNG, TGA, JPEG, BMP or PSD.
bool IsPicture(std::span<const std::uint8_t> bytes);

// The picture's first image as RGBA (16-bit channels rounded to 8). A failure's text is a few
// words on why, to follow the file's name.
Status DecodePicture(std::span<const std::uint8_t> bytes, RgbaImage& out);

} // namespace pictavo
