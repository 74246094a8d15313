#include "texture/mipmaps.h"

#include "texture/pixel_format.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pictavo {

namespace {

float SrgbToLinear(float value) {
    return value <= 0.04045f ? value / 12.92f : std::pow((value + 0.055f) / 1.055f, 2.4f);
}

struct SrgbTables {
    std::array<float, 256> linear{};
    // Linear values halfway between neighbouring sRGB codes: a code is the count below.
    std::array<float, 255> boundaries{};

    SrgbTables() {
        for (int code = 0; code < 256; ++code) {
            linear[code] = SrgbToLinear(code / 255.0f);
        }
        for (int code = 0; code < 255; ++code) {
            boundaries[code] = SrgbToLinear((code + 0.5f) / 255.0f);
        }
    }
};

const SrgbTables& Tables() {
    static const SrgbTables tables;
    return tables;
}

// The nearest sRGB code, without rounding error near black.
std::uint8_t LinearToSrgb(float value) {
    const auto& bounds = Tables().boundaries;
    return static_cast<std::uint8_t>(std::upper_bound(bounds.begin(), bounds.end(), value) -
                                     bounds.begin());
}

std::uint8_t RoundByte(float value) {
    return static_cast<std::uint8_t>(std::clamp(value + 0.5f, 0.0f, 255.0f));
}

// Sums of the source pixels under one destination pixel, in the filter's space.
struct Footprint {
    std::array<float, 4> sum{};
    float count = 0;
};

void AddPixel(Footprint& footprint, const std::uint8_t* pixel, MipFilter filter) {
    for (int c = 0; c < 3; ++c) {
        footprint.sum[c] +=
            filter == MipFilter::kColour ? Tables().linear[pixel[c]] : pixel[c] / 127.5f - 1.0f;
    }
    footprint.sum[3] += pixel[3];
    footprint.count += 1;
}

void StorePixel(const Footprint& footprint, MipFilter filter, std::uint8_t* pixel) {
    if (filter == MipFilter::kColour) {
        for (int c = 0; c < 3; ++c) {
            pixel[c] = LinearToSrgb(footprint.sum[c] / footprint.count);
        }
    } else {
        const float length =
            std::sqrt(footprint.sum[0] * footprint.sum[0] + footprint.sum[1] * footprint.sum[1] +
                      footprint.sum[2] * footprint.sum[2]);
        // Normals that (nearly) cancel out have no direction left: the surface is taken as
        // facing outwards.
        const std::array<float, 3> unit =
            length > 0.01f * footprint.count
                ? std::array<float, 3>{footprint.sum[0] / length, footprint.sum[1] / length,
                                       footprint.sum[2] / length}
                : std::array<float, 3>{0.0f, 0.0f, 1.0f};
        for (int c = 0; c < 3; ++c) {
            pixel[c] = RoundByte((unit[c] + 1.0f) * 127.5f);
        }
    }
    pixel[3] = RoundByte(footprint.sum[3] / footprint.count);
}

} // namespace

RgbaImage HalveImage(const RgbaImage& image, MipFilter filter) {
    RgbaImage half;
    half.width = NextLevelSide(image.width);
    half.height = NextLevelSide(image.height);
    half.pixels.resize(static_cast<std::size_t>(half.width) * half.height * 4);
    for (std::uint32_t y = 0; y < half.height; ++y) {
        const std::uint64_t top = static_cast<std::uint64_t>(y) * image.height / half.height;
        const std::uint64_t bottom = static_cast<std::uint64_t>(y + 1) * image.height / half.height;
        for (std::uint32_t x = 0; x < half.width; ++x) {
            const std::uint64_t left = static_cast<std::uint64_t>(x) * image.width / half.width;
            const std::uint64_t right =
                static_cast<std::uint64_t>(x + 1) * image.width / half.width;
            Footprint footprint;
            for (std::uint64_t sy = top; sy < bottom; ++sy) {
                for (std::uint64_t sx = left; sx < right; ++sx) {
                    AddPixel(footprint, image.pixels.data() + (sy * image.width + sx) * 4, filter);
                }
            }
            StorePixel(footprint, filter,
                       half.pixels.data() + (static_cast<std::size_t>(y) * half.width + x) * 4);
        }
    }
    return half;
}

std::vector<RgbaImage> MakeMipChain(const RgbaImage& image, MipFilter filter) {
    std::vector<RgbaImage> chain{image};
    while (chain.back().width > 1 || chain.back().height > 1) {
        chain.push_back(HalveImage(chain.back(), filter));
    }
    return chain;
}

} // namespace pictavo
