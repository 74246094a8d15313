#pragma once

#include "texture/pixel_format.h"

#include <cstddef>
#include <cstdint>

namespace pictavo {

// Turns a stored level upside down in place, so that its first row in memory is the bottom
// row of the image, as OpenGL takes it: pixel rows reversed, or for DXT1, DXT3 and DXT5 block
// rows reversed and every block turned over. `size` is the level size of (format, width,
// height). False, leaving the level as it is, for the other block formats (BC4, BC5, BC7):
// decode those first.
bool FlipLevelVertically(const FormatInfo& format, std::uint32_t width, std::uint32_t height,
                         std::uint8_t* level, std::size_t size);

// Turns stored B, G, R(, A) pixels into R, G, B(, A).
void SwapRedAndBlue(std::uint8_t* pixels, std::size_t size, std::uint32_t pixelSize);

} // namespace pictavo
