#pragma once

#include "pixel_format.h"

#include <cstdint>
#include <span>
#include <vector>

namespace pictavo {

// 8-bit RGBA pixels, four bytes each, top row first.
struct RgbaImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> pixels;
};

// Decodes one stored level (as the file holds it) of the given format and size to RGBA.
// False when `stored` is shorter than the level, a side is 0 or the format has no decoder.
bool DecodeLevel(const FormatInfo& format, std::uint32_t width, std::uint32_t height,
                 std::span<const std::uint8_t> stored, RgbaImage& out);

} // namespace pictavo
