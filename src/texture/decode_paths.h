#pragma once

// The DXT block decoders a level can be decoded with, so that tests can hold the SSSE3
// decoders to the scalar ones, which DecodeLevel uses where SSSE3 is missing.
#include "texture/decode.h"

namespace pictavo {

enum class DxtPath { kScalar, kSsse3 };

// Whether this build and this processor can decode with `path`.
bool DxtPathAvailable(DxtPath path);

// DecodeLevel with DXT blocks decoded by `path`, which must be available.
bool DecodeLevelBy(DxtPath path, const FormatInfo& format, std::uint32_t width,
                   std::uint32_t height, std::span<const std::uint8_t> stored, RgbaImage& out);

} // namespace pictavo
