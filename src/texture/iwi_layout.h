#pragma once

#include "texture.h"
#include "texture_error.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace pictavo {

// The most header bytes any IWI layout has: version 13's, and version 6's longer variant.
inline constexpr std::size_t kIwiHeaderBytes = 48;

// Fills `info` from the first bytes of an IWI file (up to kIwiHeaderBytes) and the file's
// size: the header's fields, then which layout of the levels the size fits.
TextureError ReadIwiInfo(std::span<const std::uint8_t> head, std::uint64_t fileSize,
                         TextureInfo& info);

} // namespace pictavo
