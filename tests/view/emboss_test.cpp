#include "view/emboss.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace {

struct Rotation {
    float x;
    float y;
};

// (0, 0, 2) turned by x degrees about the x axis, then by y degrees about the y axis,
// written out with the textbook rotation formulas.
Vector3 ExpectedLight(Rotation r) {
    const double ax = r.x * std::numbers::pi / 180.0;
    const double ay = r.y * std::numbers::pi / 180.0;
    const double y1 = -2.0 * std::sin(ax);
    const double z1 = 2.0 * std::cos(ax);
    return {float(z1 * std::sin(ay)), float(y1), float(z1 * std::cos(ay))};
}

class LightVectorTest : public testing::TestWithParam<Rotation> {};

TEST_P(LightVectorTest, FollowsTheRotationAngles) {
    const LightVector light = ComputeLightVector(GetParam().x, GetParam().y);
    const Vector3 expected = ExpectedLight(GetParam());
    EXPECT_NEAR(light.x, expected.x, 1e-5);
    EXPECT_NEAR(light.y, expected.y, 1e-5);
    EXPECT_NEAR(light.z, expected.z, 1e-5);
    EXPECT_FLOAT_EQ(light.w, 1.0f);
    EXPECT_NEAR(std::sqrt(light.x * light.x + light.y * light.y + light.z * light.z), 2.0, 1e-5);
}

INSTANTIATE_TEST_SUITE_P(Angles, LightVectorTest,
                         testing::Values(Rotation{0, 0}, Rotation{90, 0}, Rotation{0, 90},
                                         Rotation{-90, 0}, Rotation{180, 0}, Rotation{30, 45},
                                         Rotation{-60, 120}, Rotation{359.75f, 10},
                                         Rotation{360, -360}));

TEST(LightVectorTest, KnownDirections) {
    const LightVector unrotated = ComputeLightVector(0, 0);
    EXPECT_FLOAT_EQ(unrotated.z, 2.0f);
    const LightVector tilted = ComputeLightVector(90, 0); // the light drops below the image
    EXPECT_NEAR(tilted.y, -2.0f, 1e-6);
    EXPECT_NEAR(tilted.z, 0.0f, 1e-6);
    const LightVector turned = ComputeLightVector(0, 90); // the light moves to +x
    EXPECT_NEAR(turned.x, 2.0f, 1e-6);
    EXPECT_NEAR(turned.z, 0.0f, 1e-6);
}

struct OffsetCase {
    Vector3 position;
    LightVector light;
    Vector3 tangent;
    Vector3 binormal;
    float du;
    float dv;
};

class EmbossOffsetTest : public testing::TestWithParam<OffsetCase> {};

TEST_P(EmbossOffsetTest, IsFourTenthsOfTheUnitLightDirection) {
    const OffsetCase& c = GetParam();
    const EmbossOffset offset = ComputeEmbossOffset(c.position, c.light, c.tangent, c.binormal);
    EXPECT_NEAR(offset.du, c.du, 1e-6);
    EXPECT_NEAR(offset.dv, c.dv, 1e-6);
}

const float kSqrt6 = std::sqrt(6.0f);
const float kSqrt3 = std::sqrt(3.0f);

INSTANTIATE_TEST_SUITE_P(
    Vertices, EmbossOffsetTest,
    testing::Values(
        // Plane corner (-1, -1, 0), light (0, 0, 2): direction (1, 1, 2) / sqrt 6.
        OffsetCase{{-1, -1, 0}, {0, 0, 2, 1}, {1, 0, 0}, {0, 1, 0}, 0.4f / kSqrt6, 0.4f / kSqrt6},
        OffsetCase{{1, 1, 0}, {0, 0, 2, 1}, {1, 0, 0}, {0, 1, 0}, -0.4f / kSqrt6, -0.4f / kSqrt6},
        OffsetCase{{1, -1, 0}, {0, 0, 2, 1}, {1, 0, 0}, {0, 1, 0}, -0.4f / kSqrt6, 0.4f / kSqrt6},
        // Front cube corner (-1, -1, 1): direction (1, 1, 1) / sqrt 3.
        OffsetCase{{-1, -1, 1}, {0, 0, 2, 1}, {1, 0, 0}, {0, 1, 0}, 0.4f / kSqrt3, 0.4f / kSqrt3},
        // Back face, tangent -x: the same direction gives the opposite du.
        OffsetCase{{-1, -1, -1},
                   {0, 0, 2, 1},
                   {-1, 0, 0},
                   {0, 1, 0},
                   -0.4f / std::sqrt(11.0f),
                   0.4f / std::sqrt(11.0f)},
        // Light straight along the tangent: the whole 0.4 goes to du.
        OffsetCase{{0, 0, 0}, {2, 0, 0, 1}, {1, 0, 0}, {0, 1, 0}, 0.4f, 0.0f},
        // Light straight above the face: no shift at all.
        OffsetCase{{0, 0, 0}, {0, 0, 2, 1}, {1, 0, 0}, {0, 1, 0}, 0.0f, 0.0f}));

} // namespace
