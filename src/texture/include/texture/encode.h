#pragma once

#include "texture/decode.h"
#include "texture/mipmaps.h"
#include "texture/pixel_format.h"
#include "texture/texture.h"

#include <cstdint>
#include <vector>

namespace pictavo {

enum class EncodeQuality : std::uint8_t {
    kFast, // stb_dxt with its two refinement steps
    kBest, // libsquish's iterative cluster fit
};

// Whether kBest is built in: libsquish was found when the library was configured.
bool BestQualityAvailable();

// Whether every pixel's alpha is 255.
bool IsOpaque(const RgbaImage& image);

// DXT1 for an opaque picture, DXT5 for one with alpha.
FormatCode AutoFormat(const RgbaImage& image);

// The stored bytes of one level in BGRA8, BGR8, DXT1, DXT3 or DXT5, rows top first; blocks
// over the right and bottom edges repeat the edge pixels. False for any other format, for
// kBest where it is not built in, and for pixels that do not match the sides.
bool EncodeLevel(const RgbaImage& image, FormatCode format, EncodeQuality quality,
                 std::vector<std::uint8_t>& out);

struct EncodeSettings {
    FormatCode format = kFormatDxt5;
    EncodeQuality quality = EncodeQuality::kFast;
    bool mipmaps = true; // a full chain down to 1 x 1, or level 0 alone
    MipFilter filter = MipFilter::kColour;
};

// A single-face texture of the picture, ready for WriteIwi or WriteDds. False when a level
// cannot be encoded (see EncodeLevel).
bool EncodeTexture(const RgbaImage& image, const EncodeSettings& settings, Texture& out);

} // namespace pictavo
