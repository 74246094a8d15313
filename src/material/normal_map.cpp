#include "material/normal_map.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace pictavo {
namespace {

// How far red, green and blue may drift apart in the games' layout (block compression).
constexpr int kGreyTolerance = 8;
constexpr double kGreyShare = 0.9;
// A plain vector further than this from unit length is off; in the games' layout, X and Y
// whose squares add to more than 1 plus this.
constexpr float kLengthTolerance = 0.25f;
// Into the surface, beyond the rounding of 8 bits.
constexpr float kInward = -0.1f;

float Signed(std::uint8_t value) {
    return value / 127.5f - 1.0f;
}

std::uint8_t Unsigned(float value) {
    return std::uint8_t(std::lround(std::clamp(value * 0.5f + 0.5f, 0.0f, 1.0f) * 255.0f));
}

} // namespace

NormalLayout DetectNormalLayout(const RgbaImage& image) {
    const std::size_t texels = image.pixels.size() / 4;
    std::size_t grey = 0;
    bool alphaVaries = false;
    const std::uint8_t* p = image.pixels.data();
    for (std::size_t i = 0; i < texels; ++i, p += 4) {
        if (std::abs(p[0] - p[1]) <= kGreyTolerance && std::abs(p[2] - p[1]) <= kGreyTolerance) {
            ++grey;
        }
        alphaVaries = alphaVaries || p[3] != image.pixels[3];
    }
    return texels > 0 && alphaVaries && double(grey) >= kGreyShare * double(texels)
               ? NormalLayout::kAlphaGreen
               : NormalLayout::kRgb;
}

SurfaceVector DecodeNormal(const std::uint8_t* texel, NormalLayout layout, bool flipGreen) {
    SurfaceVector v;
    // The games' green, like their rows, runs down the picture.
    const float down = Signed(texel[1]);
    v.y = flipGreen ? down : -down;
    if (layout == NormalLayout::kAlphaGreen) {
        v.x = Signed(texel[3]);
        v.z = std::sqrt(std::max(0.0f, 1.0f - v.x * v.x - v.y * v.y));
    } else {
        v.x = Signed(texel[0]);
        v.z = Signed(texel[2]);
    }
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length > 0) {
        v = {v.x / length, v.y / length, v.z / length};
    }
    return v;
}

bool IsUnusedTexel(const std::uint8_t* texel) {
    return texel[0] == 0 && texel[1] == 0 && texel[2] == 0 && texel[3] == 0;
}

bool IsOffNormal(const std::uint8_t* texel, NormalLayout layout) {
    if (IsUnusedTexel(texel)) {
        return false;
    }
    const float x = Signed(layout == NormalLayout::kAlphaGreen ? texel[3] : texel[0]);
    const float y = Signed(texel[1]);
    if (layout == NormalLayout::kAlphaGreen) {
        return x * x + y * y > 1.0f + kLengthTolerance;
    }
    const float z = Signed(texel[2]);
    return std::abs(std::sqrt(x * x + y * y + z * z) - 1.0f) > kLengthTolerance || z < kInward;
}

NormalCheck CheckNormalMap(const RgbaImage& image, NormalLayout layout) {
    NormalCheck check;
    const std::uint8_t* p = image.pixels.data();
    for (std::size_t i = 0; i < image.pixels.size() / 4; ++i, p += 4) {
        if (!IsUnusedTexel(p)) {
            ++check.checked;
            check.off += IsOffNormal(p, layout) ? 1 : 0;
        }
    }
    return check;
}

RgbaImage PackNormals(const RgbaImage& image, NormalLayout layout) {
    RgbaImage packed{image.width, image.height, std::vector<std::uint8_t>(image.pixels.size())};
    const std::uint8_t* from = image.pixels.data();
    std::uint8_t* to = packed.pixels.data();
    for (std::size_t i = 0; i < image.pixels.size() / 4; ++i, from += 4, to += 4) {
        const SurfaceVector v = DecodeNormal(from, layout, /*flipGreen=*/false);
        to[0] = Unsigned(v.x);
        to[1] = Unsigned(v.y);
        to[2] = Unsigned(v.z);
        to[3] = IsOffNormal(from, layout) ? 0 : 255;
    }
    return packed;
}

} // namespace pictavo
