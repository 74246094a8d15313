#include "texture/pixel_masks.h"

#include <bit>
#include <vector>

namespace pictavo {

namespace {

constexpr int kMaxChannelBits = 16;

// One channel's bits, and what each of their values is in 8 bits; a missing channel reads
// as `absent`.
class Channel {
public:
    Channel(std::uint32_t mask, std::uint8_t absent)
        : mask_(mask), shift_(mask == 0 ? 0 : std::countr_zero(mask)) {
        const std::uint32_t top = mask_ >> shift_;
        scaled_.assign(std::size_t{top} + 1, absent);
        for (std::uint32_t value = 0; value <= top && top != 0; ++value) {
            scaled_[value] = static_cast<std::uint8_t>((value * 255 + top / 2) / top);
        }
    }

    std::uint8_t Of(std::uint32_t pixel) const { return scaled_[(pixel & mask_) >> shift_]; }

private:
    std::uint32_t mask_;
    int shift_;
    std::vector<std::uint8_t> scaled_;
};

bool IsChannel(std::uint32_t mask, std::uint32_t bits) {
    if (mask == 0) {
        return true;
    }
    const std::uint32_t run = mask >> std::countr_zero(mask);
    const bool inside = bits == 32 || (mask >> bits) == 0;
    return inside && (run & (run + 1)) == 0 && std::popcount(run) <= kMaxChannelBits;
}

template <int kFormat, std::size_t kBytes>
void Unpack(const PixelMasks& masks, const std::uint8_t* stored, std::size_t count,
            std::uint8_t* out) {
    const Channel red(masks.red, 0);
    const Channel green(masks.green, 0);
    const Channel blue(masks.blue, 0);
    const Channel alpha(masks.alpha, 255);
    for (std::size_t i = 0; i < count; ++i, stored += kBytes) {
        std::uint32_t pixel = 0;
        for (std::size_t b = 0; b < kBytes; ++b) {
            pixel |= std::uint32_t{stored[b]} << (8 * b);
        }
        if constexpr (kFormat == kFormatBgra8 || kFormat == kFormatBgr8) {
            *out++ = blue.Of(pixel);
            *out++ = green.Of(pixel);
            *out++ = red.Of(pixel);
        } else if constexpr (kFormat == kFormatLa8) {
            *out++ = red.Of(pixel);
        }
        if constexpr (kFormat != kFormatBgr8) {
            *out++ = alpha.Of(pixel);
        }
    }
}

// The loop for one target format, its pixel width fixed so that loads are unrolled.
template <int kFormat>
void UnpackInto(const PixelMasks& masks, const std::uint8_t* stored, std::size_t count,
                std::uint8_t* out) {
    switch (masks.bits) {
    case 8:
        return Unpack<kFormat, 1>(masks, stored, count, out);
    case 16:
        return Unpack<kFormat, 2>(masks, stored, count, out);
    case 24:
        return Unpack<kFormat, 3>(masks, stored, count, out);
    default:
        return Unpack<kFormat, 4>(masks, stored, count, out);
    }
}

} // namespace

PixelMasks MasksOf(int formatCode) {
    switch (formatCode) {
    case kFormatBgra8:
        return {32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000, false};
    case kFormatBgr8:
        return {24, 0xFF0000, 0xFF00, 0xFF, 0, false};
    case kFormatLa8:
        return {16, 0xFF, 0, 0, 0xFF00, true};
    case kFormatA8:
        return {8, 0, 0, 0, 0xFF, false};
    default:
        return {};
    }
}

int UnpackedFormat(const PixelMasks& m) {
    const bool wholeBytes = m.bits == 8 || m.bits == 16 || m.bits == 24 || m.bits == 32;
    if (!wholeBytes || !IsChannel(m.red, m.bits) || !IsChannel(m.green, m.bits) ||
        !IsChannel(m.blue, m.bits) || !IsChannel(m.alpha, m.bits)) {
        return 0;
    }
    if (m.luminance) {
        return m.red != 0 && m.green == 0 && m.blue == 0 ? kFormatLa8 : 0;
    }
    if (m.red == 0 && m.green == 0 && m.blue == 0) {
        return m.alpha != 0 ? kFormatA8 : 0;
    }
    return m.alpha != 0 || m.bits == 32 ? kFormatBgra8 : kFormatBgr8;
}

void UnpackPixels(const PixelMasks& masks, const std::uint8_t* stored, std::size_t count,
                  std::uint8_t* out) {
    switch (UnpackedFormat(masks)) {
    case kFormatBgra8:
        return UnpackInto<kFormatBgra8>(masks, stored, count, out);
    case kFormatBgr8:
        return UnpackInto<kFormatBgr8>(masks, stored, count, out);
    case kFormatLa8:
        return UnpackInto<kFormatLa8>(masks, stored, count, out);
    case kFormatA8:
        return UnpackInto<kFormatA8>(masks, stored, count, out);
    default:
        return;
    }
}

} // namespace pictavo
