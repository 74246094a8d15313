#pragma once

#include "texture/byte_source.h"
#include "texture/decode.h"
#include "texture/result.h"
#include "texture/texture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pictavo {

// The largest level a thumbnail decodes: 8192 x 8192, 256 MiB of RGBA.
inline constexpr std::uint64_t kMaxThumbnailPixels = std::uint64_t{8192} * 8192;

// The smallest level whose longer side is at least `size`; level 0 when none is that large.
std::uint32_t ThumbnailLevel(const TextureInfo& info, std::uint32_t size);

// The image scaled down, aspect kept, so that its longer side is at most `size`; smaller
// images are returned as they are.
RgbaImage FitWithin(const RgbaImage& image, std::uint32_t size);

// The thumbnail of the texture `source` holds, at most `size` pixels a side, reading its
// header and then only the level it decodes; `info` receives the header.
Result<RgbaImage> MakeThumbnailImage(ByteSource& source, std::uint32_t size, TextureInfo& info);
Result<RgbaImage> MakeThumbnailImage(ByteSource& source, std::uint32_t size);

// A PNG of at most `size` pixels a side from the texture at `path`, reading its header and
// then only the level it decodes.
Result<std::vector<std::uint8_t>> MakeThumbnail(const std::string& path, std::uint32_t size);

} // namespace pictavo
