#include "block_pixels.h"
#include "byte_order.h"

#include <utility>

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

const std::uint8_t* WeightsFor(unsigned bits) {
    return bits == 2 ? kWeights2 : bits == 3 ? kWeights3 : kWeights4;
}

// The block's bits from the lowest of its first byte upwards.
class BitReader {
public:
    explicit BitReader(const std::uint8_t* block)
        : low_(ReadU64LE(block)), high_(ReadU64LE(block + 8)) {}

    // At most 8 bits.
    unsigned Read(unsigned count) {
        std::uint64_t bits;
        if (at_ >= 64) {
            bits = high_ >> (at_ - 64);
        } else if (at_ + count <= 64) {
            bits = low_ >> at_;
        } else {
            bits = (low_ >> at_) | (high_ << (64 - at_));
        }
        at_ += count;
        return static_cast<unsigned>(bits) & ((1u << count) - 1);
    }

private:
    std::uint64_t low_;
    std::uint64_t high_;
    unsigned at_ = 0;
};

// A channel of `bits` bits widened to 8 by repeating its top bits.
unsigned Widen(unsigned value, unsigned bits) {
    return (value << (8 - bits)) | (value >> (2 * bits - 8));
}

} // namespace

void DecodeBc7Block(const std::uint8_t* block, std::uint8_t* out, std::size_t stride) {
    BitReader bits(block);
    unsigned modeNumber = 0;
    while (modeNumber < 8 && bits.Read(1) == 0) {
        ++modeNumber;
    }
    if (modeNumber == 8) {
        StoreBlock(out, stride, [](unsigned) { return Pack(0, 0, 0, 0); });
        return;
    }
    const Bc7Mode& mode = kModes[modeNumber];
    const unsigned partition = bits.Read(mode.partitionBits);
    const unsigned rotation = bits.Read(mode.rotationBits);
    const unsigned selector = bits.Read(mode.selectorBits);

    // Endpoints 2s and 2s + 1 belong to subset s; channels R, G, B, A. Each channel of every
    // endpoint comes in turn, then the alpha of every endpoint, then the p-bits.
    const unsigned endpointCount = 2u * mode.subsets;
    unsigned endpoints[6][4];
    for (unsigned channel = 0; channel < 3; ++channel) {
        for (unsigned e = 0; e < endpointCount; ++e) {
            endpoints[e][channel] = bits.Read(mode.colourBits);
        }
    }
    for (unsigned e = 0; e < endpointCount; ++e) {
        endpoints[e][3] = bits.Read(mode.alphaBits);
    }
    const unsigned pBits = mode.endpointPBits | mode.sharedPBits;
    if (pBits != 0) {
        const unsigned perBit = mode.endpointPBits != 0 ? 1 : 2;
        for (unsigned e = 0; e < endpointCount; e += perBit) {
            const unsigned p = bits.Read(1);
            for (unsigned shared = e; shared < e + perBit; ++shared) {
                for (unsigned& channel : endpoints[shared]) {
                    channel = (channel << 1) | p;
                }
            }
        }
    }
    const unsigned colourBits = mode.colourBits + pBits;
    const unsigned alphaBits = mode.alphaBits != 0 ? mode.alphaBits + pBits : 0;
    for (unsigned e = 0; e < endpointCount; ++e) {
        for (unsigned channel = 0; channel < 3; ++channel) {
            endpoints[e][channel] = Widen(endpoints[e][channel], colourBits);
        }
        endpoints[e][3] = alphaBits != 0 ? Widen(endpoints[e][3], alphaBits) : 255;
    }

    std::uint8_t subsets[16] = {};
    unsigned anchors[3] = {0, 0, 0};
    for (unsigned i = 0; i < 16; ++i) {
        if (mode.subsets == 2) {
            subsets[i] = static_cast<std::uint8_t>((kPartitions2[partition] >> i) & 1);
        } else if (mode.subsets == 3) {
            subsets[i] = static_cast<std::uint8_t>((kPartitions3[partition] >> (2 * i)) & 3);
        }
    }
    if (mode.subsets == 2) {
        anchors[1] = kAnchors2[partition];
    } else if (mode.subsets == 3) {
        anchors[1] = kAnchors3[partition][0];
        anchors[2] = kAnchors3[partition][1];
    }
    std::uint8_t indices[16];
    std::uint8_t secondIndices[16] = {};
    for (unsigned i = 0; i < 16; ++i) {
        const bool anchor = i == anchors[subsets[i]];
        indices[i] = static_cast<std::uint8_t>(bits.Read(mode.indexBits - (anchor ? 1 : 0)));
    }
    if (mode.secondIndexBits != 0) {
        for (unsigned i = 0; i < 16; ++i) {
            secondIndices[i] =
                static_cast<std::uint8_t>(bits.Read(mode.secondIndexBits - (i == 0 ? 1 : 0)));
        }
    }

    // Colour and alpha take the first index set, unless the mode has a second one for alpha
    // (or, with the selector set, for colour).
    const bool twoSets = mode.secondIndexBits != 0;
    const bool swapped = twoSets && selector != 0;
    const std::uint8_t* colourIndices = swapped ? secondIndices : indices;
    const std::uint8_t* alphaIndices = twoSets && !swapped ? secondIndices : indices;
    const std::uint8_t* colourWeights = WeightsFor(swapped ? mode.secondIndexBits : mode.indexBits);
    const std::uint8_t* alphaWeights =
        WeightsFor(twoSets && !swapped ? mode.secondIndexBits : mode.indexBits);
    StoreBlock(out, stride, [&](unsigned i) {
        const unsigned* e0 = endpoints[2 * subsets[i]];
        const unsigned* e1 = endpoints[2 * subsets[i] + 1];
        const auto blend = [&](unsigned channel, unsigned weight) {
            return ((64 - weight) * e0[channel] + weight * e1[channel] + 32) >> 6;
        };
        const unsigned colourWeight = colourWeights[colourIndices[i]];
        unsigned rgba[4] = {blend(0, colourWeight), blend(1, colourWeight), blend(2, colourWeight),
                            blend(3, alphaWeights[alphaIndices[i]])};
        // Rotations 1, 2 and 3 exchange alpha with red, green or blue.
        if (rotation != 0) {
            std::swap(rgba[3], rgba[rotation - 1]);
        }
        return Pack(rgba[0], rgba[1], rgba[2], rgba[3]);
    });
}

} // namespace pictavo
