#pragma once

#include "dds_header.h"
#include "texture.h"
#include "texture_error.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace pictavo {

// The 128-byte header and the extended one that may follow it.
inline constexpr std::size_t kDdsHeaderBytes = 128 + dds::kExtendedHeaderSize;

// Fills `info` from the first bytes of a DDS file (up to kDdsHeaderBytes) and its size.
TextureError ReadDdsInfo(std::span<const std::uint8_t> head, std::uint64_t fileSize,
                         TextureInfo& info);

// DDS files of 32-bit pixels without alpha leave their fourth byte undefined; this makes
// the pixels of such a texture opaque once they are read.
bool DdsHasUndefinedAlpha(std::span<const std::uint8_t> head);

} // namespace pictavo
