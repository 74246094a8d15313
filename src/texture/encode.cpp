#include "texture/encode.h"

#include <algorithm>
#include <array>
#include <cstring> // stb_dxt calls memcpy without including it

#define STB_DXT_STATIC
#define STB_DXT_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#endif
#include <stb_dxt.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

#if defined(PICTAVO_HAVE_SQUISH)
#include <squish.h>
#endif

namespace pictavo {

namespace {

using Block = std::array<std::uint8_t, 64>; // 4 x 4 RGBA pixels, rows top first

// Explicit 4-bit alpha, two pixels a byte, the first in the low half.
void EncodeExplicitAlpha(const Block& block, std::uint8_t* out) {
    for (int i = 0; i < 16; i += 2) {
        const int low = (block[i * 4 + 3] * 15 + 127) / 255;
        const int high = (block[(i + 1) * 4 + 3] * 15 + 127) / 255;
        out[i / 2] = static_cast<std::uint8_t>(low | high << 4);
    }
}

void EncodeFastBlock(const Block& block, FormatCode format, std::uint8_t* out) {
    if (format == kFormatDxt3) {
        EncodeExplicitAlpha(block, out);
        stb_compress_dxt_block(out + 8, block.data(), 0, STB_DXT_HIGHQUAL);
    } else {
        stb_compress_dxt_block(out, block.data(), format == kFormatDxt5 ? 1 : 0, STB_DXT_HIGHQUAL);
    }
}

#if defined(PICTAVO_HAVE_SQUISH)
void EncodeBestBlock(const Block& block, FormatCode format, std::uint8_t* out) {
    const int kind = format == kFormatDxt1   ? squish::kDxt1
                     : format == kFormatDxt3 ? squish::kDxt3
                                             : squish::kDxt5;
    squish::Compress(block.data(), out, kind | squish::kColourIterativeClusterFit);
}
#endif

using BlockEncoder = void (*)(const Block&, FormatCode, std::uint8_t*);

// nullptr when the quality asked for is not built in.
BlockEncoder ChooseEncoder(EncodeQuality quality) {
    if (quality == EncodeQuality::kFast) {
        return EncodeFastBlock;
    }
#if defined(PICTAVO_HAVE_SQUISH)
    return EncodeBestBlock;
#else
    return nullptr;
#endif
}

void EncodeBlocks(const RgbaImage& image, const FormatInfo& format, BlockEncoder encode,
                  std::uint8_t* out) {
    const std::uint32_t across = BlocksAcross(format, image.width);
    const std::uint32_t down = BlocksAcross(format, image.height);
    Block block;
    for (std::uint32_t by = 0; by < down; ++by) {
        for (std::uint32_t bx = 0; bx < across; ++bx, out += format.bytesPerBlock) {
            for (std::uint32_t y = 0; y < 4; ++y) {
                const std::size_t row = std::min(by * 4 + y, image.height - 1);
                for (std::uint32_t x = 0; x < 4; ++x) {
                    const std::size_t column = std::min(bx * 4 + x, image.width - 1);
                    const std::uint8_t* pixel =
                        image.pixels.data() + (row * image.width + column) * 4;
                    std::copy(pixel, pixel + 4, block.begin() + (y * 4 + x) * 4);
                }
            }
            encode(block, format.code, out);
        }
    }
}

// B, G, R(, A) per pixel.
void EncodePixels(const RgbaImage& image, std::uint32_t bytesPerPixel, std::uint8_t* out) {
    for (std::size_t i = 0; i < image.pixels.size(); i += 4, out += bytesPerPixel) {
        out[0] = image.pixels[i + 2];
        out[1] = image.pixels[i + 1];
        out[2] = image.pixels[i];
        if (bytesPerPixel == 4) {
            out[3] = image.pixels[i + 3];
        }
    }
}

} // namespace

bool BestQualityAvailable() {
#if defined(PICTAVO_HAVE_SQUISH)
    return true;
#else
    return false;
#endif
}

bool IsOpaque(const RgbaImage& image) {
    for (std::size_t i = 3; i < image.pixels.size(); i += 4) {
        if (image.pixels[i] != 255) {
            return false;
        }
    }
    return true;
}

FormatCode AutoFormat(const RgbaImage& image) {
    return IsOpaque(image) ? kFormatDxt1 : kFormatDxt5;
}

bool EncodeLevel(const RgbaImage& image, FormatCode format, EncodeQuality quality,
                 std::vector<std::uint8_t>& out) {
    const FormatInfo* info = FindFormat(format);
    const bool supported = format == kFormatBgra8 || format == kFormatBgr8 ||
                           format == kFormatDxt1 || format == kFormatDxt3 || format == kFormatDxt5;
    if (info == nullptr || !supported || image.width == 0 || image.height == 0 ||
        image.pixels.size() != static_cast<std::uint64_t>(image.width) * image.height * 4) {
        return false;
    }
    const BlockEncoder encode = ChooseEncoder(quality);
    if (info->compressed && encode == nullptr) {
        return false;
    }
    out.resize(LevelSize(*info, image.width, image.height));
    if (info->compressed) {
        EncodeBlocks(image, *info, encode, out.data());
        return true;
    }
    EncodePixels(image, info->bytesPerBlock, out.data());
    return true;
}

bool EncodeTexture(const RgbaImage& image, const EncodeSettings& settings, Texture& out) {
    const std::vector<RgbaImage> chain =
        settings.mipmaps ? MakeMipChain(image, settings.filter) : std::vector<RgbaImage>{image};
    out = Texture{};
    out.info.format = settings.format;
    out.info.width = image.width;
    out.info.height = image.height;
    out.info.levels = static_cast<std::uint32_t>(chain.size());
    out.images.resize(chain.size());
    for (std::size_t level = 0; level < chain.size(); ++level) {
        if (!EncodeLevel(chain[level], settings.format, settings.quality, out.images[level])) {
            return false;
        }
    }
    return true;
}

} // namespace pictavo
