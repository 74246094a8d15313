#include "texture/decode.h"

#include "block_pixels.h"
#include "byte_order.h"
#include "decode_paths.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define DECODE_SSSE3 1
#include <tmmintrin.h>
#else
#define DECODE_SSSE3 0
#endif

namespace pictavo {

namespace {

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

void DecodeDxt1(const std::uint8_t* block, std::uint8_t* out, std::size_t stride) {
    std::uint32_t colours[4];
    ColourPalette<true>(block, colours);
    const std::uint32_t indices = ReadU32LE(block + 4);
    StoreBlock(out, stride, [&](unsigned i) { return colours[(indices >> (2 * i)) & 3]; });
}

void DecodeDxt3(const std::uint8_t* block, std::uint8_t* out, std::size_t stride) {
    std::uint32_t colours[4];
    ColourPalette<false>(block + 8, colours);
    const std::uint32_t indices = ReadU32LE(block + 12);
    const std::uint64_t alpha = ReadU64LE(block);
    StoreBlock(out, stride, [&](unsigned i) {
        return colours[(indices >> (2 * i)) & 3] | kAlpha4[(alpha >> (4 * i)) & 15];
    });
}

void DecodeDxt5(const std::uint8_t* block, std::uint8_t* out, std::size_t stride) {
    const std::array<std::uint8_t, 8> values = ChannelValues(block[0], block[1]);
    std::uint32_t alphas[8];
    for (unsigned i = 0; i < 8; ++i) {
        alphas[i] = Pack(0, 0, 0, values[i]);
    }
    std::uint32_t colours[4];
    ColourPalette<false>(block + 8, colours);
    const std::uint32_t indices = ReadU32LE(block + 12);
    const std::uint64_t alphaIndices = ReadU64LE(block) >> 16;
    StoreBlock(out, stride, [&](unsigned i) {
        return colours[(indices >> (2 * i)) & 3] | alphas[(alphaIndices >> (3 * i)) & 7];
    });
}

// Decodes whole blocks straight into the image; blocks at the right and bottom edges may
// cover pixels outside it, so they go through a tile (decoded by kDecodeTile, which must not
// need the image's alignment) whose visible part is copied.
template <BlockDecoder kDecodeBlock, BlockDecoder kDecodeTile = kDecodeBlock>
void DecodeBlocks(const FormatInfo& format, std::uint32_t width, std::uint32_t height,
                  const std::uint8_t* block, std::uint8_t* out) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    const std::size_t blockBytes = format.bytesPerBlock;
    const std::uint32_t across = BlocksAcross(format, width);
    const std::uint32_t down = BlocksAcross(format, height);
    const std::uint32_t wholeAcross = width / 4;
    for (std::uint32_t by = 0; by < down; ++by) {
        const std::uint32_t rows = std::min<std::uint32_t>(4, height - by * 4);
        std::uint8_t* dst = out + static_cast<std::size_t>(by) * 4 * rowBytes;
        std::uint32_t bx = 0;
        if (rows == 4) {
            for (; bx < wholeAcross; ++bx, block += blockBytes, dst += 16) {
                kDecodeBlock(block, dst, rowBytes);
            }
        }
        for (; bx < across; ++bx, block += blockBytes, dst += 16) {
            const std::size_t rowCopy = std::min<std::size_t>(16, rowBytes - std::size_t{bx} * 16);
            std::uint8_t tile[64];
            kDecodeTile(block, tile, 16);
            for (unsigned r = 0; r < rows; ++r) {
                std::memcpy(dst + r * rowBytes, tile + 16 * r, rowCopy);
            }
        }
    }
}

#if DECODE_SSSE3

// The SSSE3 path gives the same bytes as the blocks above, with byte shuffles for palette
// lookups; its endpoint arithmetic uses multiplications by fixed-point reciprocals that are
// exact for the ranges involved.
#define SSSE3_FUNCTION __attribute__((target("ssse3")))

// Shuffle masks picking a row's four colours from a palette of four pixels: row byte `b`
// holds the row's 2-bit indices, pixel `c` taking bytes 4 * index .. 4 * index + 3.
struct alignas(16) ShuffleMask {
    std::uint8_t bytes[16];
};

constexpr std::array<ShuffleMask, 256> kColourRows = [] {
    std::array<ShuffleMask, 256> masks{};
    for (unsigned b = 0; b < 256; ++b) {
        for (unsigned i = 0; i < 16; ++i) {
            masks[b].bytes[i] = static_cast<std::uint8_t>(4 * ((b >> (2 * (i / 4))) & 3) + i % 4);
        }
    }
    return masks;
}();

SSSE3_FUNCTION __m128i Load(const ShuffleMask& mask) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(mask.bytes));
}

// A row of a block. Streamed rows go to memory without first reading their cache lines,
// which halves the memory traffic of a level larger than the caches; they need 16-byte
// alignment.
template <bool kStream> SSSE3_FUNCTION void StoreRow(std::uint8_t* out, __m128i row) {
    if constexpr (kStream) {
        _mm_stream_si128(reinterpret_cast<__m128i*>(out), row);
    } else {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), row);
    }
}

// The palette of the colour block `colours` (its 8 bytes in the low half) as four pixels.
template <bool kDxt1> SSSE3_FUNCTION __m128i ColourPaletteSsse3(__m128i colours) {
    const unsigned c0 = static_cast<unsigned>(_mm_extract_epi16(colours, 0));
    const unsigned c1 = static_cast<unsigned>(_mm_extract_epi16(colours, 1));
    const bool threeColours = kDxt1 && c0 <= c1;
    // 16-bit lanes r, g, b, 0 of each endpoint, each channel moved to the top of its lane and
    // widened by a multiplication that repeats its top bits.
    __m128i ends = _mm_shuffle_epi8(
        colours, _mm_setr_epi8(0, 1, 0, 1, 0, 1, -1, -1, 2, 3, 2, 3, 2, 3, -1, -1));
    ends = _mm_mullo_epi16(ends, _mm_setr_epi16(1, 1, 1 << 11, 0, 1, 1, 1 << 11, 0));
    ends = _mm_and_si128(ends, _mm_setr_epi16(-2048, 0x07E0, -2048, 0, -2048, 0x07E0, -2048, 0));
    ends = _mm_mulhi_epu16(ends, _mm_setr_epi16(264, 8320, 264, 0, 264, 8320, 264, 0));
    // (2 * a + b) / 3 and (a + 2 * b) / 3, or (a + b) / 2 twice.
    const __m128i swapped = _mm_shuffle_epi32(ends, _MM_SHUFFLE(1, 0, 3, 2));
    __m128i middle =
        _mm_add_epi16(_mm_mullo_epi16(ends, _mm_set1_epi16(threeColours ? 1 : 2)), swapped);
    middle = _mm_mulhi_epu16(middle, _mm_set1_epi16(threeColours ? -32768 : 21846));
    const __m128i palette = _mm_packus_epi16(ends, middle);
    if (!kDxt1) {
        return palette;
    }
    return threeColours ? _mm_or_si128(_mm_srli_si128(_mm_slli_si128(palette, 4), 4),
                                       _mm_setr_epi32(Pack(0, 0, 0, 255), Pack(0, 0, 0, 255),
                                                      Pack(0, 0, 0, 255), 0))
                        : _mm_or_si128(palette, _mm_set1_epi32(Pack(0, 0, 0, 255)));
}

// Writes the rows of a block from its palette, its colour indices and, per pixel in the
// order of the block, the alpha bytes to place in each pixel's byte 3.
template <bool kStream>
SSSE3_FUNCTION void StoreRowsSsse3(const std::uint8_t* indices, __m128i palette, __m128i alphas,
                                   std::uint8_t* out, std::size_t stride) {
    for (int r = 0; r < 4; ++r, out += stride) {
        const char p = static_cast<char>(4 * r);
        const __m128i spread =
            _mm_setr_epi8(-1, -1, -1, p, -1, -1, -1, static_cast<char>(p + 1), -1, -1, -1,
                          static_cast<char>(p + 2), -1, -1, -1, static_cast<char>(p + 3));
        const __m128i row = _mm_or_si128(_mm_shuffle_epi8(palette, Load(kColourRows[indices[r]])),
                                         _mm_shuffle_epi8(alphas, spread));
        StoreRow<kStream>(out, row);
    }
}

template <bool kStream>
SSSE3_FUNCTION void DecodeDxt1Ssse3(const std::uint8_t* block, std::uint8_t* out,
                                    std::size_t stride) {
    const __m128i palette =
        ColourPaletteSsse3<true>(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(block)));
    for (int r = 0; r < 4; ++r, out += stride) {
        StoreRow<kStream>(out, _mm_shuffle_epi8(palette, Load(kColourRows[block[4 + r]])));
    }
}

template <bool kStream>
SSSE3_FUNCTION void DecodeDxt3Ssse3(const std::uint8_t* block, std::uint8_t* out,
                                    std::size_t stride) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
    // Pixel 2i's alpha is the low nibble of byte i, pixel 2i + 1's the high one.
    const __m128i nibble = _mm_set1_epi8(15);
    __m128i alphas = _mm_unpacklo_epi8(_mm_and_si128(bytes, nibble),
                                       _mm_and_si128(_mm_srli_epi16(bytes, 4), nibble));
    alphas = _mm_or_si128(alphas, _mm_slli_epi16(alphas, 4));
    StoreRowsSsse3<kStream>(block + 12, ColourPaletteSsse3<false>(_mm_srli_si128(bytes, 8)), alphas,
                            out, stride);
}

// Weights of the two endpoints, reciprocal of their sum and extra bits of the 8 alphas in
// each mode: 8 shades, or 6 shades then 0 and 255.
struct AlphaMode {
    alignas(16) std::int8_t weights[16];
    std::int16_t reciprocal;
    std::int16_t top;
};

constexpr AlphaMode kAlphaModes[2] = {
    {{7, 0, 0, 7, 6, 1, 5, 2, 4, 3, 3, 4, 2, 5, 1, 6}, 9363, 0},
    {{5, 0, 0, 5, 4, 1, 3, 2, 2, 3, 1, 4, 0, 0, 0, 0}, 13108, 255},
};

// The 16 values of the one-channel block in the low 8 bytes of `bytes`, in pixel order.
SSSE3_FUNCTION __m128i ChannelSsse3(__m128i bytes) {
    const auto endpoints = static_cast<unsigned>(_mm_cvtsi128_si32(bytes));
    const AlphaMode& mode = kAlphaModes[(endpoints & 0xFF) <= ((endpoints >> 8) & 0xFF) ? 1 : 0];
    __m128i shades =
        _mm_maddubs_epi16(_mm_shuffle_epi8(bytes, _mm_set1_epi16(0x0100)),
                          _mm_load_si128(reinterpret_cast<const __m128i*>(mode.weights)));
    shades = _mm_mulhi_epu16(shades, _mm_set1_epi16(mode.reciprocal));
    shades = _mm_or_si128(shades, _mm_setr_epi16(0, 0, 0, 0, 0, 0, 0, mode.top));
    shades = _mm_packus_epi16(shades, shades);
    // Each 16-bit lane takes the two bytes holding one pixel's 3-bit index; a multiplication
    // moves the index to the lane's top bits.
    const __m128i shifts =
        _mm_setr_epi16(1 << 13, 1 << 10, 1 << 7, 1 << 12, 1 << 9, 1 << 6, 1 << 11, 1 << 8);
    const __m128i first = _mm_mullo_epi16(
        _mm_shuffle_epi8(bytes, _mm_setr_epi8(2, 3, 2, 3, 2, 3, 3, 4, 3, 4, 3, 4, 4, 5, 4, 5)),
        shifts);
    const __m128i second = _mm_mullo_epi16(
        _mm_shuffle_epi8(bytes, _mm_setr_epi8(5, 6, 5, 6, 5, 6, 6, 7, 6, 7, 6, 7, 7, 8, 7, 8)),
        shifts);
    const __m128i indices = _mm_packus_epi16(_mm_srli_epi16(first, 13), _mm_srli_epi16(second, 13));
    return _mm_shuffle_epi8(shades, indices);
}

template <bool kStream>
SSSE3_FUNCTION void DecodeDxt5Ssse3(const std::uint8_t* block, std::uint8_t* out,
                                    std::size_t stride) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
    StoreRowsSsse3<kStream>(block + 12, ColourPaletteSsse3<false>(_mm_srli_si128(bytes, 8)),
                            ChannelSsse3(bytes), out, stride);
}

// The 8 bytes of a BC4 block or the 16 of a BC5 one; signed endpoints v are read as v + 128,
// which flips their top bit.
template <bool kSigned, bool kTwoChannels>
SSSE3_FUNCTION __m128i LoadChannelBlocks(const std::uint8_t* block) {
    const __m128i bytes = kTwoChannels ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(block))
                                       : _mm_loadl_epi64(reinterpret_cast<const __m128i*>(block));
    return kSigned ? _mm_xor_si128(bytes, _mm_setr_epi8(-128, -128, 0, 0, 0, 0, 0, 0, -128, -128, 0,
                                                        0, 0, 0, 0, 0))
                   : bytes;
}

// Grey, opaque.
template <bool kSigned, bool kStream>
SSSE3_FUNCTION void DecodeBc4Ssse3(const std::uint8_t* block, std::uint8_t* out,
                                   std::size_t stride) {
    const __m128i grey = ChannelSsse3(LoadChannelBlocks<kSigned, false>(block));
    const __m128i twice[2] = {_mm_unpacklo_epi8(grey, grey), _mm_unpackhi_epi8(grey, grey)};
    const __m128i opaque[2] = {_mm_unpacklo_epi8(grey, _mm_set1_epi8(-1)),
                               _mm_unpackhi_epi8(grey, _mm_set1_epi8(-1))};
    for (int r = 0; r < 4; ++r, out += stride) {
        StoreRow<kStream>(out, r % 2 == 0 ? _mm_unpacklo_epi16(twice[r / 2], opaque[r / 2])
                                          : _mm_unpackhi_epi16(twice[r / 2], opaque[r / 2]));
    }
}

// Red and green, blue 0, opaque.
template <bool kSigned, bool kStream>
SSSE3_FUNCTION void DecodeBc5Ssse3(const std::uint8_t* block, std::uint8_t* out,
                                   std::size_t stride) {
    const __m128i bytes = LoadChannelBlocks<kSigned, true>(block);
    const __m128i red = ChannelSsse3(bytes);
    const __m128i green = ChannelSsse3(_mm_srli_si128(bytes, 8));
    const __m128i redGreen[2] = {_mm_unpacklo_epi8(red, green), _mm_unpackhi_epi8(red, green)};
    const __m128i blueAlpha = _mm_set1_epi16(static_cast<short>(0xFF00));
    for (int r = 0; r < 4; ++r, out += stride) {
        StoreRow<kStream>(out, r % 2 == 0 ? _mm_unpacklo_epi16(redGreen[r / 2], blueAlpha)
                                          : _mm_unpackhi_epi16(redGreen[r / 2], blueAlpha));
    }
}

// The block loop compiled for SSSE3, so that the block decoders are inlined into it.
template <BlockDecoder kDecodeBlock>
__attribute__((target("ssse3"), flatten)) void
DecodeBlocksSsse3(const FormatInfo& format, std::uint32_t width, std::uint32_t height,
                  const std::uint8_t* block, std::uint8_t* out) {
    DecodeBlocks<kDecodeBlock>(format, width, height, block, out);
}

// The same with streamed rows; the edge tiles, on the stack, take stored ones.
template <BlockDecoder kStreamed, BlockDecoder kStored>
__attribute__((target("ssse3"), flatten)) void
StreamBlocksSsse3(const FormatInfo& format, std::uint32_t width, std::uint32_t height,
                  const std::uint8_t* block, std::uint8_t* out) {
    DecodeBlocks<kStreamed, kStored>(format, width, height, block, out);
    _mm_sfence(); // streamed stores are ordered only by a fence
}

#undef SSSE3_FUNCTION

#endif

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

#if DECODE_SSSE3
template <BlockDecoder kStored, BlockDecoder kStreamed> LevelDecoder Ssse3Decoder(bool stream) {
    return stream ? StreamBlocksSsse3<kStreamed, kStored> : DecodeBlocksSsse3<kStored>;
}
#endif

LevelDecoder DecoderOf(FormatCode code, [[maybe_unused]] DxtPath path) {
#if DECODE_SSSE3
    if (path != DxtPath::kScalar) {
        const bool stream = path == DxtPath::kSsse3Streamed;
        switch (code) {
        case kFormatDxt1:
            return Ssse3Decoder<DecodeDxt1Ssse3<false>, DecodeDxt1Ssse3<true>>(stream);
        case kFormatDxt3:
            return Ssse3Decoder<DecodeDxt3Ssse3<false>, DecodeDxt3Ssse3<true>>(stream);
        case kFormatDxt5:
            return Ssse3Decoder<DecodeDxt5Ssse3<false>, DecodeDxt5Ssse3<true>>(stream);
        case kFormatBc4:
            return Ssse3Decoder<DecodeBc4Ssse3<false, false>, DecodeBc4Ssse3<false, true>>(stream);
        case kFormatBc4Signed:
            return Ssse3Decoder<DecodeBc4Ssse3<true, false>, DecodeBc4Ssse3<true, true>>(stream);
        case kFormatBc5:
            return Ssse3Decoder<DecodeBc5Ssse3<false, false>, DecodeBc5Ssse3<false, true>>(stream);
        case kFormatBc5Signed:
            return Ssse3Decoder<DecodeBc5Ssse3<true, false>, DecodeBc5Ssse3<true, true>>(stream);
        default:
            break;
        }
    }
#endif
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
    case kFormatBc4:
        return DecodeBlocks<DecodeBc4Block>;
    case kFormatBc4Signed:
        return DecodeBlocks<DecodeBc4SignedBlock>;
    case kFormatBc5:
        return DecodeBlocks<DecodeBc5Block>;
    case kFormatBc5Signed:
        return DecodeBlocks<DecodeBc5SignedBlock>;
    case kFormatBc7:
        return DecodeBlocks<DecodeBc7Block>;
    default:
        return nullptr;
    }
}

} // namespace

bool DxtPathAvailable(DxtPath path) {
    if (path == DxtPath::kScalar) {
        return true;
    }
#if DECODE_SSSE3
    static const bool ssse3 = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return ssse3;
#else
    return false;
#endif
}

namespace {

// The path the processor takes: SSSE3 where it has it.
DxtPath FastestPath(bool stream) {
    return !DxtPathAvailable(DxtPath::kSsse3) ? DxtPath::kScalar
           : stream                           ? DxtPath::kSsse3Streamed
                                              : DxtPath::kSsse3;
}

// The table's own row of a format with a decoder (so that block sizes agree with the
// decoders) whose level of these sides `stored` holds, or nullptr.
const FormatInfo* DecodableLevel(const FormatInfo& format, std::uint32_t width,
                                 std::uint32_t height, std::span<const std::uint8_t> stored) {
    const FormatInfo* const info = FindFormat(format.code);
    const std::uint64_t count = static_cast<std::uint64_t>(width) * height;
    return info != nullptr && DecoderOf(info->code, DxtPath::kScalar) != nullptr && count != 0 &&
                   count <= std::numeric_limits<std::size_t>::max() / 4 &&
                   stored.size() >= LevelSize(*info, width, height)
               ? info
               : nullptr;
}

} // namespace

bool DecodeLevelBy(DxtPath path, const FormatInfo& format, std::uint32_t width,
                   std::uint32_t height, std::span<const std::uint8_t> stored, RgbaImage& out) {
    const FormatInfo* const info = DecodableLevel(format, width, height, stored);
    if (info == nullptr) {
        return false;
    }
    out.width = width;
    out.height = height;
    out.pixels.resize(std::size_t{width} * height * 4);
    // Streamed rows must start on 16 bytes.
    if (path == DxtPath::kSsse3Streamed &&
        (reinterpret_cast<std::uintptr_t>(out.pixels.data()) % 16 != 0 || width % 4 != 0)) {
        path = DxtPath::kSsse3;
    }
    DecoderOf(info->code, path)(*info, width, height, stored.data(), out.pixels.data());
    return true;
}

bool DecodeLevel(const FormatInfo& format, std::uint32_t width, std::uint32_t height,
                 std::span<const std::uint8_t> stored, RgbaImage& out) {
    // Levels larger than the caches are streamed: nothing reads them back soon enough to
    // find them there.
    constexpr std::uint64_t kStreamedBytes = 8 << 20;
    return DecodeLevelBy(FastestPath(std::uint64_t{width} * height * 4 >= kStreamedBytes), format,
                         width, height, stored, out);
}

bool DecodeLevelRows(const FormatInfo& format, std::uint32_t width, std::uint32_t height,
                     std::span<const std::uint8_t> stored, std::uint32_t first, std::uint32_t count,
                     std::uint8_t* out) {
    const FormatInfo* const info = DecodableLevel(format, width, height, stored);
    if (info == nullptr || count == 0 || first % info->blockDimension != 0 || first > height ||
        count > height - first) {
        return false;
    }
    // The rows' blocks are a level of their own, as high as the band.
    const std::size_t skipped = std::size_t{first / info->blockDimension} *
                                BlocksAcross(*info, width) * info->bytesPerBlock;
    DecoderOf(info->code, FastestPath(false))(*info, width, count, stored.data() + skipped, out);
    return true;
}

bool AlwaysOpaque(const FormatInfo& format) {
    switch (format.code) {
    case kFormatBgr8:
    case kFormatBc4:
    case kFormatBc4Signed:
    case kFormatBc5:
    case kFormatBc5Signed:
        return true;
    default:
        return false;
    }
}

} // namespace pictavo
