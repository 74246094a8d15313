#pragma once

#include "texture/pixel_format.h"
#include "texture/result.h"
#include "texture/texture.h"

#include <cstdint>
#include <span>
#include <vector>

namespace pictavo {

// 8-bit RGBA pixels, four bytes each, top row first.
struct RgbaImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> pixels;
};

// One face of one level of a texture as RGBA, into `out`, whose buffer is reused: what every
// program shows, exports and thumbnails. kNoLevel when the texture has no such level or face,
// kUnknownFormat for a format without a decoder, kTruncated when the level's bytes are short.
Status DecodeImage(const Texture& texture, std::uint32_t level, std::uint32_t face, RgbaImage& out);
// The same for an image read on its own (ReadImage): the stored bytes of `level` of the
// texture `info` describes.
Status DecodeImage(const TextureInfo& info, std::uint32_t level,
                   std::span<const std::uint8_t> stored, RgbaImage& out);

// Decodes one stored level (as the file holds it) of the given format and size to RGBA.
// False when `stored` is shorter than the level, a side is 0 or the format has no decoder.
bool DecodeLevel(const FormatInfo& format, std::uint32_t width, std::uint32_t height,
                 std::span<const std::uint8_t> stored, RgbaImage& out);

// Rows `first` .. `first + count - 1` of such a level, decoded into `out` (4 * width bytes a
// row), so that a large level can be handled a band at a time; `first` is a multiple of the
// format's block side. False as DecodeLevel, or for rows outside the level.
bool DecodeLevelRows(const FormatInfo& format, std::uint32_t width, std::uint32_t height,
                     std::span<const std::uint8_t> stored, std::uint32_t first, std::uint32_t count,
                     std::uint8_t* out);

// Whether every pixel of the format decodes opaque (alpha 255), whatever its bytes.
bool AlwaysOpaque(const FormatInfo& format);

} // namespace pictavo
