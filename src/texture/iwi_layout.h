#pragma once

#include "texture.h"
#include "texture_error.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace pictavo {

// Marks in the usage byte of versions 6 and 13, and in bytes 4-7 of versions 8 and 9.
inline constexpr std::uint8_t kIwiUsageSingleLevel = 0x02;
inline constexpr std::uint8_t kIwiUsageCube = 0x04;
inline constexpr std::uint32_t kIwiFlagsCube = 0x10000;

// The most header bytes any IWI layout has: version 13's, and version 6's longer variant.
inline constexpr std::size_t kIwiHeaderBytes = 48;

// Fills `info` from the first bytes of an IWI file (up to kIwiHeaderBytes) and the file's
// size: the header's fields, then which layout of the levels the size fits.
TextureError ReadIwiInfo(std::span<const std::uint8_t> head, std::uint64_t fileSize,
                         TextureInfo& info);

} // namespace pictavo
