#pragma once

#include "pixel_format.h"

#include <cstddef>
#include <cstdint>

// Each block flip reverses the order of the block's four pixel rows in place.
void FlipBlockDXT1(std::uint8_t* block);
void FlipBlockDXT3(std::uint8_t* block);
void FlipBlockDXT5(std::uint8_t* block);

// Turns a level upside down in place (pixel rows reversed; for DXT, block rows reversed and
// every block flipped), so that the first row in memory is the bottom row of the image, as
// OpenGL expects. `size` is the level size of (info, width, height).
void FlipLevelVertically(const pictavo::FormatInfo& info, std::uint32_t width, std::uint32_t height,
                         std::uint8_t* level, std::size_t size);

// Turns stored B, G, R(, A) pixels into R, G, B(, A).
void SwapRedAndBlue(std::uint8_t* pixels, std::size_t size, std::uint32_t pixelSize);
