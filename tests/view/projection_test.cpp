#include "view/colorref.h"
#include "view/projection.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace {

struct AspectCase {
    std::int16_t width;
    std::int16_t height;
    float x;
    float y;
};

class AspectScaleTest : public testing::TestWithParam<AspectCase> {};

TEST_P(AspectScaleTest, TheLongerSideSpansTheWholeExtent) {
    const AspectScale scale = ComputeAspectScale(GetParam().width, GetParam().height);
    EXPECT_FLOAT_EQ(scale.x, GetParam().x);
    EXPECT_FLOAT_EQ(scale.y, GetParam().y);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, AspectScaleTest,
    testing::Values(AspectCase{512, 256, 1.0f, 0.5f}, AspectCase{256, 512, 0.5f, 1.0f},
                    AspectCase{256, 256, 1.0f, 1.0f}, AspectCase{256, 128, 1.0f, 0.5f},
                    AspectCase{2048, 512, 1.0f, 0.25f}, AspectCase{436, 436, 1.0f, 1.0f},
                    AspectCase{32, 128, 0.25f, 1.0f}, AspectCase{0, 0, 1.0f, 1.0f},
                    AspectCase{0, 256, 1.0f, 1.0f}));

TEST(PerspectiveFrustumTest, MatchesAFortyFiveDegreeViewAtTheNearPlane) {
    const FrustumBounds f = PerspectiveFrustum(kFieldOfViewDegrees, 2.0, kNearPlane, kFarPlane);
    const double top = 0.1 * std::tan(std::numbers::pi / 8);
    EXPECT_DOUBLE_EQ(f.top, top);
    EXPECT_DOUBLE_EQ(f.bottom, -top);
    EXPECT_DOUBLE_EQ(f.right, 2 * top);
    EXPECT_DOUBLE_EQ(f.left, -2 * top);
    EXPECT_DOUBLE_EQ(f.zNear, 0.1);
    EXPECT_DOUBLE_EQ(f.zFar, 2000.0);
}

TEST(PerspectiveFrustumTest, TallAreasNarrowTheSides) {
    const FrustumBounds f = PerspectiveFrustum(45, 0.5, 0.1, 2000);
    EXPECT_DOUBLE_EQ(f.right, f.top * 0.5);
}

struct ColourCase {
    std::uint32_t colorRef;
    float red;
    float green;
    float blue;
};

class ColorRefTest : public testing::TestWithParam<ColourCase> {};

TEST_P(ColorRefTest, SplitsRedGreenAndBlueFromTheLowByteUp) {
    const RgbColour colour = ColourFromColorRef(GetParam().colorRef);
    EXPECT_FLOAT_EQ(colour.red, GetParam().red);
    EXPECT_FLOAT_EQ(colour.green, GetParam().green);
    EXPECT_FLOAT_EQ(colour.blue, GetParam().blue);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ColorRefTest,
    testing::Values(ColourCase{0x00A4A0A0, 160 / 255.0f, 160 / 255.0f, 164 / 255.0f},
                    ColourCase{0x00FF0000, 0, 0, 1}, ColourCase{0x000000FF, 1, 0, 0},
                    ColourCase{0x0000FF00, 0, 1, 0},
                    ColourCase{0xFF102030, 0x30 / 255.0f, 0x20 / 255.0f, 0x10 / 255.0f}));

} // namespace
