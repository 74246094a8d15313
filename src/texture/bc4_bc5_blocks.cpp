#include "block_pixels.h"
#include "byte_order.h"

namespace pictavo {

namespace {

// The value of each of a one-channel block's 16 pixels, rows top first.
template <bool kSigned> std::array<std::uint8_t, 16> ChannelPixels(const std::uint8_t* block) {
    const auto endpoint = [](std::uint8_t byte) {
        return kSigned ? static_cast<unsigned>(static_cast<std::int8_t>(byte) + 128) : byte;
    };
    const std::array<std::uint8_t, 8> values =
        ChannelValues(endpoint(block[0]), endpoint(block[1]));
    const std::uint64_t indices = ReadU64LE(block) >> 16;
    std::array<std::uint8_t, 16> pixels;
    for (unsigned i = 0; i < 16; ++i) {
        pixels[i] = values[(indices >> (3 * i)) & 7];
    }
    return pixels;
}

template <bool kSigned> void Bc4(const std::uint8_t* block, std::uint8_t* out, std::size_t stride) {
    const std::array<std::uint8_t, 16> grey = ChannelPixels<kSigned>(block);
    StoreBlock(out, stride, [&](unsigned i) { return Pack(grey[i], grey[i], grey[i], 255); });
}

template <bool kSigned> void Bc5(const std::uint8_t* block, std::uint8_t* out, std::size_t stride) {
    const std::array<std::uint8_t, 16> red = ChannelPixels<kSigned>(block);
    const std::array<std::uint8_t, 16> green = ChannelPixels<kSigned>(block + 8);
    StoreBlock(out, stride, [&](unsigned i) { return Pack(red[i], green[i], 0, 255); });
}

} // namespace

void DecodeBc4Block(const std::uint8_t* block, std::uint8_t* out, std::size_t stride) {
    Bc4<false>(block, out, stride);
}

void DecodeBc4SignedBlock(const std::uint8_t* block, std::uint8_t* out, std::size_t stride) {
    Bc4<true>(block, out, stride);
}

void DecodeBc5Block(const std::uint8_t* block, std::uint8_t* out, std::size_t stride) {
    Bc5<false>(block, out, stride);
}

void DecodeBc5SignedBlock(const std::uint8_t* block, std::uint8_t* out, std::size_t stride) {
    Bc5<true>(block, out, stride);
}

} // namespace pictavo
