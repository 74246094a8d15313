#pragma once

#include <cstdint>

namespace pictavo {

// done / total × 100 in double precision, truncated toward zero, kept within 0..100 so the
// progress line always fits its buffer. Nothing to fetch (total 0) counts as complete.
int ProgressPercent(std::uint32_t total, std::uint32_t done);

} // namespace pictavo
