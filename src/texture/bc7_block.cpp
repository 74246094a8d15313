#include "block_pixels.h"
#include "byte_order.h"

#include <algorithm>
#include <bit>
#include <utility>

// x86-64 always has SSE2; other processors blend with plain integers.
#if defined(__SSE2__) || defined(_M_X64)
#define BC7_SSE2 1
#include <emmintrin.h>
#else
#define BC7_SSE2 0
#endif

namespace pictavo {

namespace {

// What a BC7 mode stores after its mode bits, in the order it stores them.
struct Bc7Mode {
    std::uint8_t subsets;
    std::uint8_t partitionBits;
    std::uint8_t rotationBits;
    std::uint8_t selectorBits;    // which index set goes to colour, in mode 4
    std::uint8_t colourBits;      // per channel of each endpoint, before its p-bit
    std::uint8_t alphaBits;       // 0: opaque
    std::uint8_t endpointPBits;   // 1: a low bit of its own for each endpoint
    std::uint8_t sharedPBits;     // 1: one low bit for both endpoints of a subset
    std::uint8_t indexBits;       // of the first index set
    std::uint8_t secondIndexBits; // of the second set (alpha, unless the selector swaps them)
};

constexpr Bc7Mode kModes[8] = {
    {3, 4, 0, 0, 4, 0, 1, 0, 3, 0}, {2, 6, 0, 0, 6, 0, 0, 1, 3, 0}, {3, 6, 0, 0, 5, 0, 0, 0, 2, 0},
    {2, 6, 0, 0, 7, 0, 1, 0, 2, 0}, {1, 0, 2, 1, 5, 6, 0, 0, 2, 3}, {1, 0, 2, 0, 7, 8, 0, 0, 2, 2},
    {1, 0, 0, 0, 7, 7, 1, 0, 4, 0}, {2, 6, 0, 0, 5, 5, 1, 0, 2, 0},
};

// The subset of each pixel in the 64 two-subset partitions (bit i for pixel i) and the 64
// three-subset ones (two bits a pixel).
constexpr std::uint16_t kPartitions2[64] = {
    0xCCCC, 0x8888, 0xEEEE, 0xECC8, 0xC880, 0xFEEC, 0xFEC8, 0xEC80, 0xC800, 0xFFEC, 0xFE80,
    0xE800, 0xFFE8, 0xFF00, 0xFFF0, 0xF000, 0xF710, 0x008E, 0x7100, 0x08CE, 0x008C, 0x7310,
    0x3100, 0x8CCE, 0x088C, 0x3110, 0x6666, 0x366C, 0x17E8, 0x0FF0, 0x718E, 0x399C, 0xAAAA,
    0xF0F0, 0x5A5A, 0x33CC, 0x3C3C, 0x55AA, 0x9696, 0xA55A, 0x73CE, 0x13C8, 0x324C, 0x3BDC,
    0x6996, 0xC33C, 0x9966, 0x0660, 0x0272, 0x04E4, 0x4E40, 0x2720, 0xC936, 0x936C, 0x39C6,
    0x639C, 0x9336, 0x9CC6, 0x817E, 0xE718, 0xCCF0, 0x0FCC, 0x7744, 0xEE22,
};
constexpr std::uint32_t kPartitions3[64] = {
    0xAA685050, 0x6A5A5040, 0x5A5A4200, 0x5450A0A8, 0xA5A50000, 0xA0A05050, 0x5555A0A0, 0x5A5A5050,
    0xAA550000, 0xAA555500, 0xAAAA5500, 0x90909090, 0x94949494, 0xA4A4A4A4, 0xA9A59450, 0x2A0A4250,
    0xA5945040, 0x0A425054, 0xA5A5A500, 0x55A0A0A0, 0xA8A85454, 0x6A6A4040, 0xA4A45000, 0x1A1A0500,
    0x0050A4A4, 0xAAA59090, 0x14696914, 0x69691400, 0xA08585A0, 0xAA821414, 0x50A4A450, 0x6A5A0200,
    0xA9A58000, 0x5090A0A8, 0xA8A09050, 0x24242424, 0x00AA5500, 0x24924924, 0x24499224, 0x50A50A50,
    0x500AA550, 0xAAAA4444, 0x66660000, 0xA5A0A5A0, 0x50A050A0, 0x69286928, 0x44AAAA44, 0x66666600,
    0xAA444444, 0x54A854A8, 0x95809580, 0x96969600, 0xA85454A8, 0x80959580, 0xAA141414, 0x96960000,
    0xAAAA1414, 0xA05050A0, 0xA0A5A5A0, 0x96000000, 0x40804080, 0xA9A8A9A8, 0xAAAAAA44, 0x2A4A5254,
};

// The anchor pixel of subset 1 in each two-subset partition, and of subsets 1 and 2 in each
// three-subset one (subset 0's is pixel 0): its index is stored without its top bit, 0.
constexpr std::uint8_t kAnchors2[64] = {
    15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 2,  8, 2,  2, 8,
    8,  15, 2,  8,  2,  2,  8,  8,  2,  2,  15, 15, 6,  8,  2,  8,  15, 15, 2, 8,  2, 2,
    2,  15, 15, 6,  6,  2,  6,  8,  15, 15, 2,  2,  15, 15, 15, 15, 15, 2,  2, 15,
};
constexpr std::uint8_t kAnchors3[64][2] = {
    {3, 15},  {3, 8},   {15, 8}, {15, 3}, {8, 15}, {3, 15},  {15, 3}, {15, 8},  {8, 15}, {8, 15},
    {6, 15},  {6, 15},  {6, 15}, {5, 15}, {3, 15}, {3, 8},   {3, 15}, {3, 8},   {8, 15}, {15, 3},
    {3, 15},  {3, 8},   {6, 15}, {10, 8}, {5, 3},  {8, 15},  {8, 6},  {6, 10},  {8, 15}, {5, 15},
    {15, 10}, {15, 8},  {8, 15}, {15, 3}, {3, 15}, {5, 10},  {6, 10}, {10, 8},  {8, 9},  {15, 10},
    {15, 6},  {3, 15},  {15, 8}, {5, 15}, {15, 3}, {15, 6},  {15, 6}, {15, 8},  {3, 15}, {15, 3},
    {5, 15},  {5, 15},  {5, 15}, {8, 15}, {5, 15}, {10, 15}, {5, 15}, {10, 15}, {8, 15}, {13, 15},
    {15, 3},  {12, 15}, {3, 15}, {3, 8},
};

// Weights of the second endpoint, out of 64, for 2-, 3- and 4-bit indices.
constexpr std::uint8_t kWeights2[4] = {0, 21, 43, 64};
constexpr std::uint8_t kWeights3[8] = {0, 9, 18, 27, 37, 46, 55, 64};
constexpr std::uint8_t kWeights4[16] = {0,  4,  9,  13, 17, 21, 26, 30,
                                        34, 38, 43, 47, 51, 55, 60, 64};

constexpr const std::uint8_t* WeightsFor(unsigned bits) {
    return bits == 2 ? kWeights2 : bits == 3 ? kWeights3 : kWeights4;
}

// The block's bits from the lowest of its first byte upwards, taken off its bottom.
class BitReader {
public:
    explicit BitReader(const std::uint8_t* block)
        : low_(ReadU64LE(block)), high_(ReadU64LE(block + 8)) {}

    // At most 63 bits.
    std::uint64_t Read(unsigned count) {
        const std::uint64_t bits = low_ & ((std::uint64_t{1} << count) - 1);
        low_ = (low_ >> count) | (high_ << 1 << (63 - count));
        high_ >>= count;
        return bits;
    }

private:
    std::uint64_t low_;
    std::uint64_t high_;
};

// A channel of `bits` bits widened to 8 by repeating its top bits.
unsigned Widen(unsigned value, unsigned bits) {
    return (value << (8 - bits)) | (value >> (2 * bits - 8));
}

// An index set read whole: a zero top bit goes back into each anchor's index, anchors in
// pixel order, so that index i sits at bits i * bits.
std::uint64_t WithAnchorBits(std::uint64_t stored, unsigned bits, const unsigned* anchors,
                             unsigned count) {
    for (unsigned a = 0; a < count; ++a) {
        const std::uint64_t below = (std::uint64_t{1} << (anchors[a] * bits + bits - 1)) - 1;
        stored = (stored & below) | ((stored & ~below) << 1);
    }
    return stored;
}

using Endpoint = std::int16_t[4]; // R, G, B, A

#if BC7_SSE2
// The weights of two neighbouring colours, each in the four lanes of its channels.
struct alignas(16) WeightLanes {
    std::int16_t lanes[8][8];
};

constexpr std::array<WeightLanes, 3> kWeightLanes = [] {
    std::array<WeightLanes, 3> table{};
    for (unsigned bits = 2; bits <= 4; ++bits) {
        const std::uint8_t* weights = WeightsFor(bits);
        for (unsigned colour = 0; colour < (1u << bits); ++colour) {
            for (unsigned c = 0; c < 4; ++c) {
                table[bits - 2].lanes[colour / 2][4 * (colour % 2) + c] = weights[colour];
            }
        }
    }
    return table;
}();
#endif

// The 2^bits colours between two endpoints (weights out of 64, rounded), as pixels.
template <unsigned bits>
void Blend(const Endpoint& e0, const Endpoint& e1, std::uint32_t* palette) {
#if BC7_SSE2
    // Two colours a vector: 16-bit lanes hold e0 * 64 + (e1 - e0) * weight + 32, which stays
    // within 0 .. 16352.
    __m128i low = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(e0));
    __m128i high = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(e1));
    low = _mm_unpacklo_epi64(low, low);
    high = _mm_unpacklo_epi64(high, high);
    const __m128i difference = _mm_sub_epi16(high, low);
    const __m128i base = _mm_add_epi16(_mm_slli_epi16(low, 6), _mm_set1_epi16(32));
    const __m128i* weights = reinterpret_cast<const __m128i*>(kWeightLanes[bits - 2].lanes);
    for (unsigned k = 0; k < (1u << bits) / 2; k += 2) {
        const __m128i first =
            _mm_srai_epi16(_mm_add_epi16(base, _mm_mullo_epi16(difference, weights[k])), 6);
        const __m128i second =
            _mm_srai_epi16(_mm_add_epi16(base, _mm_mullo_epi16(difference, weights[k + 1])), 6);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(palette + 2 * k),
                         _mm_packus_epi16(first, second));
    }
#else
    const std::uint8_t* weights = WeightsFor(bits);
    for (unsigned j = 0; j < (1u << bits); ++j) {
        unsigned channels[4];
        for (unsigned c = 0; c < 4; ++c) {
            channels[c] =
                static_cast<unsigned>(e0[c] * 64 + (e1[c] - e0[c]) * weights[j] + 32) >> 6;
        }
        palette[j] = Pack(channels[0], channels[1], channels[2], channels[3]);
    }
#endif
}

// A block of one mode: with the mode's layout known when compiling, every field sits at a
// fixed place, and the loops over endpoints and pixels have fixed counts and shifts.
template <unsigned kMode>
void DecodeMode(const std::uint8_t* block, std::uint8_t* out, std::size_t stride) {
    BitReader bits(block);
    bits.Read(kMode + 1);
    constexpr Bc7Mode mode = kModes[kMode];
    const auto partition = static_cast<unsigned>(bits.Read(mode.partitionBits));
    const auto rotation = static_cast<unsigned>(bits.Read(mode.rotationBits));
    const auto selector = static_cast<unsigned>(bits.Read(mode.selectorBits));

    // Endpoints 2s and 2s + 1 belong to subset s. Each channel of every endpoint comes in
    // turn, then the alpha of every endpoint, then the p-bits: each run is read whole (at most
    // 42 bits), then cut into its fields.
    const unsigned endpointCount = 2u * mode.subsets;
    std::uint64_t runs[4];
    for (unsigned channel = 0; channel < 4; ++channel) {
        runs[channel] = bits.Read(endpointCount * (channel < 3 ? mode.colourBits : mode.alphaBits));
    }
    const unsigned pBits = mode.endpointPBits | mode.sharedPBits;
    // One p-bit for each endpoint, or one for both of a subset's.
    const unsigned pShift = mode.sharedPBits;
    const std::uint64_t pRun = bits.Read(pBits * (endpointCount >> pShift));
    const unsigned colourBits = mode.colourBits + pBits;
    const unsigned alphaBits = mode.alphaBits != 0 ? mode.alphaBits + pBits : 0;
    // Rotations 1, 2 and 3 exchange alpha with red, green or blue: exchanging them in the
    // endpoints exchanges them in every colour blended from them.
    const unsigned alphaChannel = rotation != 0 ? rotation - 1 : 3;
    Endpoint endpoints[6];
    for (unsigned e = 0; e < endpointCount; ++e) {
        const auto p = static_cast<unsigned>(pRun >> (e >> pShift)) & pBits;
        const auto field = [&](unsigned channel, unsigned fieldBits) {
            const auto stored =
                static_cast<unsigned>(runs[channel] >> (e * fieldBits)) & ((1u << fieldBits) - 1);
            return (stored << pBits) | p;
        };
        Endpoint& endpoint = endpoints[e];
        for (unsigned channel = 0; channel < 3; ++channel) {
            endpoint[channel] =
                static_cast<std::int16_t>(Widen(field(channel, mode.colourBits), colourBits));
        }
        endpoint[3] = static_cast<std::int16_t>(
            alphaBits != 0 ? Widen(field(3, mode.alphaBits), alphaBits) : 255);
        std::swap(endpoint[3], endpoint[alphaChannel]);
    }

    // Subset of pixel i: bits i * subsetBits of `subsets`; the anchors of its subsets in
    // pixel order.
    std::uint32_t subsets = 0;
    unsigned subsetBits = 0;
    unsigned anchors[3] = {0, 0, 0};
    if (mode.subsets == 2) {
        subsets = kPartitions2[partition];
        subsetBits = 1;
        anchors[1] = kAnchors2[partition];
    } else if (mode.subsets == 3) {
        subsets = kPartitions3[partition];
        subsetBits = 2;
        anchors[1] = std::min(kAnchors3[partition][0], kAnchors3[partition][1]);
        anchors[2] = std::max(kAnchors3[partition][0], kAnchors3[partition][1]);
    }
    constexpr unsigned indexBits = mode.indexBits;
    const std::uint64_t indices =
        WithAnchorBits(bits.Read(16 * indexBits - mode.subsets), indexBits, anchors, mode.subsets);
    const unsigned subsetMask = (1u << subsetBits) - 1;
    const unsigned indexMask = (1u << indexBits) - 1;

    if constexpr (mode.secondIndexBits == 0) {
        // Colour and alpha take the one index set: each pixel is one of its subset's colours.
        std::uint32_t palette[3 * 16];
        for (unsigned s = 0; s < mode.subsets; ++s) {
            Blend<indexBits>(endpoints[2 * s], endpoints[2 * s + 1], palette + (s << indexBits));
        }
        StoreBlock(out, stride, [&](unsigned i) {
            const unsigned subset = (subsets >> (i * subsetBits)) & subsetMask;
            return palette[(subset << indexBits) |
                           static_cast<unsigned>((indices >> (i * indexBits)) & indexMask)];
        });
    } else {
        // One subset, and a second index set for alpha, or, with the selector set, for colour.
        constexpr unsigned secondBits = mode.secondIndexBits;
        const std::uint64_t second =
            WithAnchorBits(bits.Read(16 * secondBits - 1), secondBits, anchors, 1);
        const unsigned secondMask = (1u << secondBits) - 1;
        std::uint32_t first[16];
        std::uint32_t other[16];
        Blend<indexBits>(endpoints[0], endpoints[1], first);
        Blend<secondBits>(endpoints[0], endpoints[1], other);
        std::array<std::uint8_t, 4> alphaBytes{};
        alphaBytes[alphaChannel] = 0xFF;
        const std::uint32_t alphaMask = std::bit_cast<std::uint32_t>(alphaBytes);
        const std::uint32_t firstMask = selector != 0 ? alphaMask : ~alphaMask;
        StoreBlock(out, stride, [&](unsigned i) {
            return (first[(indices >> (i * indexBits)) & indexMask] & firstMask) |
                   (other[(second >> (i * secondBits)) & secondMask] & ~firstMask);
        });
    }
}

void DecodeReservedMode(const std::uint8_t*, std::uint8_t* out, std::size_t stride) {
    StoreBlock(out, stride, [](unsigned) { return Pack(0, 0, 0, 0); });
}

// By the number of zero bits below the first set one: the mode, or 8 for the reserved one.
constexpr BlockDecoder kModeDecoders[9] = {
    DecodeMode<0>, DecodeMode<1>, DecodeMode<2>, DecodeMode<3>,      DecodeMode<4>,
    DecodeMode<5>, DecodeMode<6>, DecodeMode<7>, DecodeReservedMode,
};

} // namespace

void DecodeBc7Block(const std::uint8_t* block, std::uint8_t* out, std::size_t stride) {
    kModeDecoders[std::countr_zero(block[0])](block, out, stride);
}

} // namespace pictavo
