#pragma once

#include "texture/decode.h"

#include <cstdint>
#include <vector>

namespace pictavo {

// Image files a painting program opens, encoded in memory. False when the image is empty or
// too large for the format.
bool EncodePng(const RgbaImage& image, std::vector<std::uint8_t>& out);
bool EncodeTga(const RgbaImage& image, std::vector<std::uint8_t>& out);

} // namespace pictavo
