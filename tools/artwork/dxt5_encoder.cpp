#include "dxt5_encoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace pictavo::tools {
namespace {

constexpr int kBlockPixels = 16;
using Block = std::array<Rgba, kBlockPixels>;

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 operator*(Vec3 a, float k) {
    return {a.x * k, a.y * k, a.z * k};
}
float Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 ToVec(const Rgba& p) {
    return {float(p.r), float(p.g), float(p.b)};
}

void PutLittle16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void EncodeAlpha(const Block& block, std::vector<std::uint8_t>& out) {
    std::uint8_t high = 0;
    std::uint8_t low = 255;
    for (const Rgba& p : block) {
        high = std::max(high, p.a);
        low = std::min(low, p.a);
    }
    out.push_back(high);
    out.push_back(low);
    // With high > low the eight-value ramp runs from high (index 0) to low (index 1).
    std::array<int, 8> ramp{high, low};
    for (int i = 2; i < 8; ++i) {
        ramp[i] = ((8 - i) * high + (i - 1) * low) / 7;
    }
    std::uint64_t bits = 0;
    for (int k = 0; k < kBlockPixels && high != low; ++k) {
        int best = 0;
        for (int i = 1; i < 8; ++i) {
            if (std::abs(ramp[i] - block[k].a) < std::abs(ramp[best] - block[k].a)) {
                best = i;
            }
        }
        bits |= std::uint64_t(best) << (3 * k);
    }
    for (int i = 0; i < 6; ++i) {
        out.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    }
}

std::uint16_t To565(Vec3 c) {
    auto channel = [](float v, int maximum) {
        return std::clamp(int(std::lround(v / 255.0f * maximum)), 0, maximum);
    };
    return static_cast<std::uint16_t>(channel(c.x, 31) << 11 | channel(c.y, 63) << 5 |
                                      channel(c.z, 31));
}

Vec3 From565(std::uint16_t c) {
    const int r = c >> 11 & 31, g = c >> 5 & 63, b = c & 31;
    return {float(r << 3 | r >> 2), float(g << 2 | g >> 4), float(b << 3 | b >> 2)};
}

// The direction along which the block's colours spread most (power iteration).
Vec3 PrincipalAxis(const Block& block, Vec3 mean) {
    float cov[3][3] = {};
    for (const Rgba& p : block) {
        const Vec3 d = ToVec(p) - mean;
        const float v[3] = {d.x, d.y, d.z};
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                cov[i][j] += v[i] * v[j];
            }
        }
    }
    Vec3 axis{1, 1, 1};
    for (int iteration = 0; iteration < 8; ++iteration) {
        const Vec3 next{cov[0][0] * axis.x + cov[0][1] * axis.y + cov[0][2] * axis.z,
                        cov[1][0] * axis.x + cov[1][1] * axis.y + cov[1][2] * axis.z,
                        cov[2][0] * axis.x + cov[2][1] * axis.y + cov[2][2] * axis.z};
        const float length = std::sqrt(Dot(next, next));
        if (length < 1e-6f) {
            break; // one colour only: any axis does
        }
        axis = next * (1.0f / length);
    }
    return axis;
}

void EncodeColour(const Block& block, std::vector<std::uint8_t>& out) {
    Vec3 mean;
    for (const Rgba& p : block) {
        mean = mean + ToVec(p);
    }
    mean = mean * (1.0f / kBlockPixels);
    const Vec3 axis = PrincipalAxis(block, mean);
    float lowest = std::numeric_limits<float>::max();
    float highest = std::numeric_limits<float>::lowest();
    for (const Rgba& p : block) {
        const float t = Dot(ToVec(p) - mean, axis);
        lowest = std::min(lowest, t);
        highest = std::max(highest, t);
    }
    std::uint16_t c0 = To565(mean + axis * highest);
    std::uint16_t c1 = To565(mean + axis * lowest);
    if (c0 < c1) {
        std::swap(c0, c1);
    }
    const Vec3 e0 = From565(c0), e1 = From565(c1);
    const std::array<Vec3, 4> palette{e0, e1, (e0 * 2 + e1) * (1.0f / 3),
                                      (e0 + e1 * 2) * (1.0f / 3)};
    std::uint32_t bits = 0;
    for (int k = 0; k < kBlockPixels; ++k) {
        int best = 0;
        float bestDistance = std::numeric_limits<float>::max();
        for (int i = 0; i < 4; ++i) {
            const Vec3 d = palette[i] - ToVec(block[k]);
            if (Dot(d, d) < bestDistance) {
                bestDistance = Dot(d, d);
                best = i;
            }
        }
        bits |= std::uint32_t(best) << (2 * k);
    }
    PutLittle16(out, c0);
    PutLittle16(out, c1);
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    }
}

} // namespace

std::vector<std::uint8_t> EncodeDxt5(const std::vector<Rgba>& pixels, int width, int height) {
    std::vector<std::uint8_t> out;
    out.reserve(std::size_t(width / 4) * std::size_t(height / 4) * 16);
    for (int by = 0; by < height; by += 4) {
        for (int bx = 0; bx < width; bx += 4) {
            Block block;
            for (int k = 0; k < kBlockPixels; ++k) {
                block[k] = pixels[std::size_t(by + k / 4) * width + std::size_t(bx + k % 4)];
            }
            EncodeAlpha(block, out);
            EncodeColour(block, out);
        }
    }
    return out;
}

} // namespace pictavo::tools
