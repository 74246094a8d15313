#pragma once

// What the block decoders share: how they write a pixel, and the values of a one-channel
// block (the alpha of DXT5, BC4, each half of BC5).
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace pictavo {

// An RGBA pixel as it lies in memory, whatever the machine's byte order, so that a pixel is
// written with one store and alpha is merged with one OR.
constexpr std::uint32_t Pack(unsigned r, unsigned g, unsigned b, unsigned a) {
    return std::bit_cast<std::uint32_t>(
        std::array<std::uint8_t, 4>{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                                    static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(a)});
}

// Writes the 16 pixels `pixel(i)` of a block, row by row, `stride` bytes apart.
template <typename Pixel> void StoreBlock(std::uint8_t* out, std::size_t stride, Pixel pixel) {
    for (unsigned r = 0; r < 4; ++r, out += stride) {
        for (unsigned c = 0; c < 4; ++c) {
            const std::uint32_t value = pixel(4 * r + c);
            std::memcpy(out + 4 * c, &value, 4);
        }
    }
}

// The 8 values a one-channel block's 3-bit indices pick: its two endpoints, then six shades
// between them, or, when the first is not above the second, four shades, 0 and 255.
inline std::array<std::uint8_t, 8> ChannelValues(unsigned a0, unsigned a1) {
    std::array<std::uint8_t, 8> values{static_cast<std::uint8_t>(a0),
                                       static_cast<std::uint8_t>(a1)};
    if (a0 <= a1) {
        for (unsigned i = 1; i < 5; ++i) {
            values[1 + i] = static_cast<std::uint8_t>(((5 - i) * a0 + i * a1) / 5);
        }
        values[7] = 255;
    } else {
        for (unsigned i = 1; i < 7; ++i) {
            values[1 + i] = static_cast<std::uint8_t>(((7 - i) * a0 + i * a1) / 7);
        }
    }
    return values;
}

// Block decoders write the 4 rows of a block's RGBA pixels `stride` bytes apart.
using BlockDecoder = void (*)(const std::uint8_t* block, std::uint8_t* out, std::size_t stride);

// The block formats only DDS files hold. BC4 is grey; BC5 red and green, blue 0; both are
// opaque, and their signed values v are shown as v + 128.
void DecodeBc4Block(const std::uint8_t* block, std::uint8_t* out, std::size_t stride);
void DecodeBc4SignedBlock(const std::uint8_t* block, std::uint8_t* out, std::size_t stride);
void DecodeBc5Block(const std::uint8_t* block, std::uint8_t* out, std::size_t stride);
void DecodeBc5SignedBlock(const std::uint8_t* block, std::uint8_t* out, std::size_t stride);
// The reserved mode (a first byte of 0) gives transparent black, as Direct3D has it.
void DecodeBc7Block(const std::uint8_t* block, std::uint8_t* out, std::size_t stride);

} // namespace pictavo
