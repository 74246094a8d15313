#pragma once

#include "grid/grid_thumbnail.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pictavo {

// The largest thumbnail side a cache file may hold.
inline constexpr std::uint32_t kMaxCachedSide = 1024;

// One thumbnail as the disk cache keeps it: the key it was stored under, the texture's
// facts, and the picture as PNG. False when the picture cannot be encoded.
bool EncodeThumbnailFile(const std::string& key, const GridThumbnail& thumbnail,
                         std::vector<std::uint8_t>& out);

// The thumbnail stored under `key`; false for a file of another key, one whose lengths do
// not match its bytes, or a picture that does not decode within kMaxCachedSide.
bool DecodeThumbnailFile(std::span<const std::uint8_t> bytes, const std::string& key,
                         GridThumbnail& thumbnail);

} // namespace pictavo
