#pragma once

#include "texture/pixel_format.h"

#include <cstddef>
#include <cstdint>

namespace pictavo {

// How an uncompressed DDS packs one pixel: its width in bits and the bits of each channel.
// With `luminance` the red mask holds a grey level.
struct PixelMasks {
    std::uint32_t bits = 0; // 0: no layout of its own, the levels hold their format's bytes
    std::uint32_t red = 0;
    std::uint32_t green = 0;
    std::uint32_t blue = 0;
    std::uint32_t alpha = 0;
    bool luminance = false;

    bool operator==(const PixelMasks&) const = default;
};

// The masks that describe an uncompressed format code's own bytes; bits 0 for the others.
PixelMasks MasksOf(int formatCode);

// The format code a layout's pixels are unpacked into: grey to LA8, alpha alone to A8 (white
// under its alpha), colour to RGBA8 when it has alpha or fills 32 bits, to RGB8 otherwise.
// 0 when the pixel is not whole bytes or a mask is no run of at most 16 bits inside it.
int UnpackedFormat(const PixelMasks& masks);

// Unpacks `count` stored pixels into the bytes of UnpackedFormat(masks), which must not be 0.
// Channels are scaled to 8 bits; a missing alpha is opaque.
void UnpackPixels(const PixelMasks& masks, const std::uint8_t* stored, std::size_t count,
                  std::uint8_t* out);

} // namespace pictavo
