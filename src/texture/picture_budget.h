#pragma once

#include "texture/result.h"

#include <cstdint>

namespace pictavo {

// The largest picture read: far beyond any texture a game loads, and small enough that a
// file claiming more is refused before its pixels are allocated (256 MiB as RGBA).
inline constexpr std::uint64_t kMaxPictureSide = 16384;
inline constexpr std::uint64_t kMaxPicturePixels = 8192 * 8192;

// Whether a picture of this size may be read: kBadSize for a side of 0, kTooLarge beyond the
// budget.
Status WithinPictureBudget(std::uint64_t width, std::uint64_t height);

// Whether `available` bytes can hold what the header claims needs at least `needed`;
// kTruncated if not.
Status BytesCanHold(std::uint64_t needed, std::uint64_t available);

} // namespace pictavo
