#pragma once

// The block decoders (DXT, BC4, BC5) a level can be decoded with, so that tests can hold the
// SSSE3 decoders to the scalar ones, which DecodeLevel uses where SSSE3 is missing.
#include "texture/decode.h"

namespace pictavo {

// Streamed: SSSE3 with rows written past the caches, where the image's rows start on 16 bytes.
enum class DxtPath { kScalar, kSsse3, kSsse3Streamed };

// Whether this build and this processor can decode with `path`.
bool DxtPathAvailable(DxtPath path);

// DecodeLevel with DXT blocks decoded by `path`, which must be available.
bool DecodeLevelBy(DxtPath path, const FormatInfo& format, std::uint32_t width,
                   std::uint32_t height, std::span<const std::uint8_t> stored, RgbaImage& out);

} // namespace pictavo
