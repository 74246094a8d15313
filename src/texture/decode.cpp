#include "decode.h"

#include "byte_order.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>

namespace pictavo {

namespace {

// A 4 x 4 block of RGBA pixels, rows top first.
using Tile = std::array<std::uint32_t, 16>;

// An RGBA pixel as it lies in memory, whatever the machine's byte order, so that a pixel is
// written with one store and alpha is merged with one OR.
constexpr std::uint32_t Pack(unsigned r, unsigned g, unsigned b, unsigned a) {
    return std::bit_cast<std::uint32_t>(
        std::array<std::uint8_t, 4>{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                                    static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(a)});
}

// 4-bit alpha scaled to 8 bits (a * 17 == a << 4 | a), as a pixel with only alpha set.
constexpr std::array<std::uint32_t, 16> kAlpha4 = [] {
    std::array<std::uint32_t, 16> table{};
    for (unsigned a = 0; a < 16; ++a) {
        table[a] = Pack(0, 0, 0, a * 17);
    }
    return table;
}();

struct Rgb {
    unsigned r, g, b;
};

// Widens a 5:6:5 colour by repeating its top bits, as common decoders do.
Rgb Expand565(unsigned c) {
    const unsigned r = c >> 11;
    const unsigned g = (c >> 5) & 0x3F;
    const unsigned b = c & 0x1F;
    return {(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)};
}

// The four colours of a colour block. Only DXT1 blocks have the 3-colour mode with
// transparent black; DXT3 and DXT5 colours carry alpha 0 so their own alpha can be ORed in.
template <bool kDxt1> void ColourPalette(const std::uint8_t* block, std::uint32_t palette[4]) {
    const unsigned c0 = ReadU16LE(block);
    const unsigned c1 = ReadU16LE(block + 2);
    const Rgb a = Expand565(c0);
    const Rgb b = Expand565(c1);
    const unsigned opaque = kDxt1 ? 255 : 0;
    palette[0] = Pack(a.r, a.g, a.b, opaque);
    palette[1] = Pack(b.r, b.g, b.b, opaque);
    if (kDxt1 && c0 <= c1) {
        palette[2] = Pack((a.r + b.r) / 2, (a.g + b.g) / 2, (a.b + b.b) / 2, opaque);
        palette[3] = Pack(0, 0, 0, 0);
    } else {
        palette[2] = Pack((2 * a.r + b.r) / 3, (2 * a.g + b.g) / 3, (2 * a.b + b.b) / 3, opaque);
        palette[3] = Pack((a.r + 2 * b.r) / 3, (a.g + 2 * b.g) / 3, (a.b + 2 * b.b) / 3, opaque);
    }
}

void DecodeDxt1(const std::uint8_t* block, Tile& tile) {
    std::uint32_t colours[4];
    ColourPalette<true>(block, colours);
    const std::uint32_t indices = ReadU32LE(block + 4);
    for (unsigned i = 0; i < 16; ++i) {
        tile[i] = colours[(indices >> (2 * i)) & 3];
    }
}

void DecodeDxt3(const std::uint8_t* block, Tile& tile) {
    std::uint32_t colours[4];
    ColourPalette<false>(block + 8, colours);
    const std::uint32_t indices = ReadU32LE(block + 12);
    const std::uint64_t alpha = ReadU64LE(block);
    for (unsigned i = 0; i < 16; ++i) {
        tile[i] = colours[(indices >> (2 * i)) & 3] | kAlpha4[(alpha >> (4 * i)) & 15];
    }
}

void DecodeDxt5(const std::uint8_t* block, Tile& tile) {
    const unsigned a0 = block[0];
    const unsigned a1 = block[1];
    std::uint32_t alphas[8];
    alphas[0] = Pack(0, 0, 0, a0);
    alphas[1] = Pack(0, 0, 0, a1);
    if (a0 <= a1) {
        for (unsigned i = 1; i < 5; ++i) {
            alphas[1 + i] = Pack(0, 0, 0, ((5 - i) * a0 + i * a1) / 5);
        }
        alphas[6] = Pack(0, 0, 0, 0);
        alphas[7] = Pack(0, 0, 0, 255);
    } else {
        for (unsigned i = 1; i < 7; ++i) {
            alphas[1 + i] = Pack(0, 0, 0, ((7 - i) * a0 + i * a1) / 7);
        }
    }
    std::uint32_t colours[4];
    ColourPalette<false>(block + 8, colours);
    const std::uint32_t indices = ReadU32LE(block + 12);
    const std::uint64_t alphaIndices = ReadU64LE(block) >> 16;
    for (unsigned i = 0; i < 16; ++i) {
        tile[i] = colours[(indices >> (2 * i)) & 3] | alphas[(alphaIndices >> (3 * i)) & 7];
    }
}

// Decodes every block into a tile and copies its rows into place; blocks at the right and
// bottom edges may cover pixels outside the image, which are dropped.
template <void (*kDecodeBlock)(const std::uint8_t*, Tile&)>
void DecodeBlocks(const FormatInfo& format, std::uint32_t width, std::uint32_t height,
                  const std::uint8_t* block, std::uint8_t* out) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    const std::uint32_t across = BlocksAcross(format, width);
    const std::uint32_t down = BlocksAcross(format, height);
    Tile tile;
    for (std::uint32_t by = 0; by < down; ++by) {
        const std::uint32_t rows = std::min<std::uint32_t>(4, height - by * 4);
        std::uint8_t* const blockRow = out + static_cast<std::size_t>(by) * 4 * rowBytes;
        for (std::uint32_t bx = 0; bx < across; ++bx, block += format.bytesPerBlock) {
            kDecodeBlock(block, tile);
            const std::size_t rowCopy = std::min<std::size_t>(16, rowBytes - std::size_t{bx} * 16);
            std::uint8_t* const dst = blockRow + static_cast<std::size_t>(bx) * 16;
            if (rows == 4 && rowCopy == 16) {
                for (unsigned r = 0; r < 4; ++r) {
                    std::memcpy(dst + r * rowBytes, &tile[4 * r], 16);
                }
            } else {
                for (unsigned r = 0; r < rows; ++r) {
                    std::memcpy(dst + r * rowBytes, &tile[4 * r], rowCopy);
                }
            }
        }
    }
}

// Uncompressed pixels are stored row after row without padding, so a level is one run.
template <std::size_t kBytes, void (*kConvert)(const std::uint8_t*, std::uint8_t*)>
void DecodePixels(const FormatInfo&, std::uint32_t width, std::uint32_t height,
                  const std::uint8_t* in, std::uint8_t* out) {
    const std::size_t count = static_cast<std::size_t>(width) * height;
    for (std::size_t i = 0; i < count; ++i) {
        kConvert(in + i * kBytes, out + i * 4);
    }
}

void Bgra8ToRgba(const std::uint8_t* in, std::uint8_t* out) {
    out[0] = in[2];
    out[1] = in[1];
    out[2] = in[0];
    out[3] = in[3];
}

void Bgr8ToRgba(const std::uint8_t* in, std::uint8_t* out) {
    out[0] = in[2];
    out[1] = in[1];
    out[2] = in[0];
    out[3] = 255;
}

void La8ToRgba(const std::uint8_t* in, std::uint8_t* out) {
    out[0] = out[1] = out[2] = in[0];
    out[3] = in[1];
}

void A8ToRgba(const std::uint8_t* in, std::uint8_t* out) {
    out[0] = out[1] = out[2] = 255;
    out[3] = in[0];
}

using LevelDecoder = void (*)(const FormatInfo&, std::uint32_t, std::uint32_t, const std::uint8_t*,
                              std::uint8_t*);

LevelDecoder DecoderOf(FormatCode code) {
    switch (code) {
    case kFormatBgra8:
        return DecodePixels<4, Bgra8ToRgba>;
    case kFormatBgr8:
        return DecodePixels<3, Bgr8ToRgba>;
    case kFormatLa8:
        return DecodePixels<2, La8ToRgba>;
    case kFormatA8:
        return DecodePixels<1, A8ToRgba>;
    case kFormatDxt1:
        return DecodeBlocks<DecodeDxt1>;
    case kFormatDxt3:
        return DecodeBlocks<DecodeDxt3>;
    case kFormatDxt5:
        return DecodeBlocks<DecodeDxt5>;
    default:
        return nullptr;
    }
}

} // namespace

bool DecodeLevel(const FormatInfo& format, std::uint32_t width, std::uint32_t height,
                 std::span<const std::uint8_t> stored, RgbaImage& out) {
    // The table's own row, so that block sizes agree with the decoders.
    const FormatInfo* const info = FindFormat(format.code);
    const LevelDecoder decode = info != nullptr ? DecoderOf(info->code) : nullptr;
    const std::uint64_t count = static_cast<std::uint64_t>(width) * height;
    if (decode == nullptr || count == 0 || count > std::numeric_limits<std::size_t>::max() / 4 ||
        stored.size() < LevelSize(*info, width, height)) {
        return false;
    }
    out.width = width;
    out.height = height;
    out.pixels.resize(static_cast<std::size_t>(count) * 4);
    decode(*info, width, height, stored.data(), out.pixels.data());
    return true;
}

} // namespace pictavo
