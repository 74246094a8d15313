#pragma once

#include "dds_header.h"
#include "texture/texture.h"
#include "texture/texture_error.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace pictavo {

// The 128-byte header and the extended one that may follow it.
inline constexpr std::size_t kDdsHeaderBytes = 128 + dds::kExtendedHeaderSize;

// Fills `info` from the first bytes of a DDS file (up to kDdsHeaderBytes) and its size.
// Uncompressed layouts that are no format code's own bytes are described by the layout's
// `stored` masks.
TextureError ReadDdsInfo(std::span<const std::uint8_t> head, std::uint64_t fileSize,
                         TextureInfo& info);

} // namespace pictavo
