#include "material/lighting.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pictavo {
namespace {

float Dot(const SurfaceVector& a, const SurfaceVector& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

SurfaceVector Normalised(const SurfaceVector& v) {
    const float length = std::sqrt(Dot(v, v));
    return length > 0 ? SurfaceVector{v.x / length, v.y / length, v.z / length} : v;
}

float Saturate(float value) {
    return std::clamp(value, 0.0f, 1.0f);
}

} // namespace

SurfaceVector LightDirection(const LightAngles& angles) {
    constexpr float kRadians = std::numbers::pi_v<float> / 180.0f;
    const float azimuth = angles.azimuthDegrees * kRadians;
    const float elevation = std::clamp(angles.elevationDegrees, 0.0f, 90.0f) * kRadians;
    return {std::cos(elevation) * std::cos(azimuth), std::cos(elevation) * std::sin(azimuth),
            std::sin(elevation)};
}

Rgb ShadeTexel(const MaterialTexel& texel, const SurfaceVector& normal,
               const SurfaceVector& toLight, const SurfaceVector& toViewer, MaterialShow show) {
    if (show == MaterialShow::kNormals) {
        return {normal.x * 0.5f + 0.5f, normal.y * 0.5f + 0.5f, normal.z * 0.5f + 0.5f};
    }
    const float lambert = std::max(Dot(normal, toLight), 0.0f);
    const SurfaceVector halfway =
        Normalised({toLight.x + toViewer.x, toLight.y + toViewer.y, toLight.z + toViewer.z});
    const float power = std::exp2(kLeastPower + kPowerRange * Saturate(texel.gloss));
    const float highlight =
        lambert > 0 ? std::pow(std::max(Dot(normal, halfway), 0.0f), power) : 0.0f;
    const Rgb& s = texel.specular;
    if (show == MaterialShow::kSpecular) {
        return {Saturate(s.r * highlight), Saturate(s.g * highlight), Saturate(s.b * highlight)};
    }
    const float light = kAmbient + kDiffuse * lambert;
    const Rgb& c = texel.colour;
    return {Saturate(c.r * light + s.r * highlight), Saturate(c.g * light + s.g * highlight),
            Saturate(c.b * light + s.b * highlight)};
}

std::uint8_t ToByte(float value) {
    return std::uint8_t(std::lround(Saturate(value) * 255.0f));
}

RgbaImage LightLevel(const MaterialLevel& level, const SurfaceVector& toLight, MaterialShow show) {
    const auto sameSize = [&level](const RgbaImage* map) {
        return map != nullptr && map->width == level.colour->width &&
               map->height == level.colour->height &&
               map->pixels.size() == level.colour->pixels.size();
    };
    if (level.colour == nullptr || !sameSize(level.normal) ||
        (level.specular != nullptr && !sameSize(level.specular))) {
        return {};
    }
    const RgbaImage& colour = *level.colour;
    RgbaImage lit{colour.width, colour.height, std::vector<std::uint8_t>(colour.pixels.size())};
    const SurfaceVector toViewer{0, 0, 1};
    const std::size_t texels = colour.pixels.size() / 4;
    for (std::size_t i = 0; i < texels; ++i) {
        const std::uint8_t* c = &colour.pixels[i * 4];
        MaterialTexel texel;
        texel.colour = {c[0] / 255.0f, c[1] / 255.0f, c[2] / 255.0f};
        if (level.specular != nullptr) {
            const std::uint8_t* s = &level.specular->pixels[i * 4];
            texel.specular = {s[0] / 255.0f, s[1] / 255.0f, s[2] / 255.0f};
            texel.gloss = s[3] / 255.0f;
        }
        const SurfaceVector normal =
            DecodeNormal(&level.normal->pixels[i * 4], level.layout, level.flipGreen);
        const Rgb shaded = ShadeTexel(texel, normal, toLight, toViewer, show);
        std::uint8_t* out = &lit.pixels[i * 4];
        out[0] = ToByte(shaded.r);
        out[1] = ToByte(shaded.g);
        out[2] = ToByte(shaded.b);
        out[3] = c[3];
    }
    return lit;
}

} // namespace pictavo
