#pragma once

#include <cstdint>

namespace pictavo {

// Each block flip reverses the order of the block's four pixel rows in place; the level flip
// (level_flip.h) is made of them.
void FlipBlockDXT1(std::uint8_t* block);
void FlipBlockDXT3(std::uint8_t* block);
void FlipBlockDXT5(std::uint8_t* block);

} // namespace pictavo
