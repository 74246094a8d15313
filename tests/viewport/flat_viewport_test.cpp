#include "viewport/flat_viewport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <optional>

namespace {

struct Window {
    double width;
    double height;
    double ratio;
};

FlatViewport Make(Window window, std::uint32_t width, std::uint32_t height) {
    FlatViewport viewport;
    viewport.SetWindow(window.width, window.height, window.ratio);
    viewport.SetLevelSize(width, height, false);
    return viewport;
}

// The image point (in texels, not rounded) at a mouse position.
double ImageXAt(const FlatViewport& viewport, double mouseX, double ratio) {
    return (mouseX * ratio - viewport.ImageRect().left) / viewport.PixelsPerTexel();
}
double ImageYAt(const FlatViewport& viewport, double mouseY, double ratio) {
    return (mouseY * ratio - viewport.ImageRect().top) / viewport.PixelsPerTexel();
}

struct FitCase {
    Window window;
    std::uint32_t width;
    std::uint32_t height;
    DeviceRect expected;
};

class FitTest : public testing::TestWithParam<FitCase> {};

TEST_P(FitTest, TheWholeImageAsLargeAsFitsCentred) {
    FlatViewport viewport = Make(GetParam().window, GetParam().width, GetParam().height);
    viewport.Fit();
    const DeviceRect rect = viewport.ImageRect();
    EXPECT_DOUBLE_EQ(rect.left, GetParam().expected.left);
    EXPECT_DOUBLE_EQ(rect.top, GetParam().expected.top);
    EXPECT_DOUBLE_EQ(rect.right, GetParam().expected.right);
    EXPECT_DOUBLE_EQ(rect.bottom, GetParam().expected.bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, FitTest,
    testing::Values(FitCase{{400, 300, 1}, 800, 200, {0, 100, 400, 200}},     // wide, shrunk
                    FitCase{{400, 300, 1}, 100, 400, {162.5, 0, 237.5, 300}}, // tall, shrunk
                    FitCase{{400, 300, 1}, 16, 8, {0, 50, 400, 250}},         // enlarged
                    FitCase{{200, 150, 2}, 800, 200, {0, 100, 400, 200}}));   // device pixels

struct ActualSizeCase {
    Window window;
    std::uint32_t width;
    std::uint32_t height;
};

class ActualSizeTest : public testing::TestWithParam<ActualSizeCase> {};

TEST_P(ActualSizeTest, OneTexelPerDevicePixelOnWholePixelsAboutTheCentre) {
    const Window window = GetParam().window;
    FlatViewport viewport = Make(window, GetParam().width, GetParam().height);
    viewport.Fit();
    const double centreX = ImageXAt(viewport, window.width / 2, window.ratio);
    const double centreY = ImageYAt(viewport, window.height / 2, window.ratio);
    viewport.ShowActualSize();
    EXPECT_DOUBLE_EQ(viewport.PixelsPerTexel(), 1);
    const DeviceRect rect = viewport.ImageRect();
    EXPECT_EQ(rect.left, std::round(rect.left));
    EXPECT_EQ(rect.top, std::round(rect.top));
    EXPECT_DOUBLE_EQ(rect.right - rect.left, GetParam().width);
    EXPECT_DOUBLE_EQ(rect.bottom - rect.top, GetParam().height);
    // The point at the centre stays there but for the half pixel the rounding moves it.
    EXPECT_NEAR(ImageXAt(viewport, window.width / 2, window.ratio), centreX, 0.5);
    EXPECT_NEAR(ImageYAt(viewport, window.height / 2, window.ratio), centreY, 0.5);
}

INSTANTIATE_TEST_SUITE_P(Shapes, ActualSizeTest,
                         testing::Values(ActualSizeCase{{400, 300, 1}, 4096, 4096},
                                         ActualSizeCase{{400, 300, 1}, 33, 17},
                                         ActualSizeCase{{301, 201, 1}, 324, 184},
                                         ActualSizeCase{{200, 150, 2}, 64, 32},
                                         ActualSizeCase{{200, 150, 1.5}, 1280, 720}));

struct ZoomCase {
    Window window;
    double factor;
    ViewPoint anchor; // logical pixels
};

class ZoomAboutTest : public testing::TestWithParam<ZoomCase> {};

TEST_P(ZoomAboutTest, ThePointUnderTheCursorStaysUnderIt) {
    const ZoomCase& c = GetParam();
    FlatViewport viewport = Make(c.window, 512, 256);
    viewport.Fit();
    const double before = viewport.PixelsPerTexel();
    const double x = ImageXAt(viewport, c.anchor.x, c.window.ratio);
    const double y = ImageYAt(viewport, c.anchor.y, c.window.ratio);
    viewport.ZoomAbout(c.factor, c.anchor);
    EXPECT_DOUBLE_EQ(viewport.PixelsPerTexel(), before * c.factor);
    EXPECT_NEAR(ImageXAt(viewport, c.anchor.x, c.window.ratio), x, 1e-9);
    EXPECT_NEAR(ImageYAt(viewport, c.anchor.y, c.window.ratio), y, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Anchors, ZoomAboutTest,
    testing::Values(ZoomCase{{400, 300, 1}, 2, {10, 120}}, ZoomCase{{400, 300, 1}, 16, {399, 200}},
                    ZoomCase{{400, 300, 1}, 0.5, {200, 150}},
                    ZoomCase{{400, 300, 1}, std::sqrt(2.0), {3, 299}}, // outside the image
                    ZoomCase{{200, 150, 2}, 8, {123.5, 77.25}}));

TEST(FlatViewportTest, WholeFactorsFromOneToOneKeepTexelEdgesOnPixelEdges) {
    for (const ViewPoint anchor : {ViewPoint{190, 150}, ViewPoint{200, 145}, ViewPoint{216, 158}}) {
        FlatViewport viewport = Make({400, 300, 1}, 33, 17);
        viewport.Fit();
        viewport.ShowActualSize();
        const std::optional<TexelPosition> texel = viewport.TexelAt(anchor);
        ASSERT_TRUE(texel.has_value());
        viewport.ZoomAbout(4, anchor);
        EXPECT_EQ(viewport.ImageRect().left, std::round(viewport.ImageRect().left));
        EXPECT_EQ(viewport.ImageRect().top, std::round(viewport.ImageRect().top));
        EXPECT_EQ(viewport.TexelAt(anchor), texel) << "the texel under the cursor stays";
        viewport.ZoomBy(2);
        EXPECT_EQ(viewport.ImageRect().left, std::round(viewport.ImageRect().left));
    }
}

TEST(FlatViewportTest, ZoomStopsAtItsLimitsButNeverJumpsIntoThem) {
    FlatViewport viewport = Make({400, 300, 1}, 512, 256);
    viewport.Fit();
    viewport.ZoomBy(1e9);
    EXPECT_DOUBLE_EQ(viewport.PixelsPerTexel(), FlatViewport::kMostPixelsPerTexel);
    viewport.ZoomBy(1e-9);
    EXPECT_DOUBLE_EQ(viewport.PixelsPerTexel() * 512, FlatViewport::kFewestImagePixels);

    // 1:1 of a 1 x 1 level of a large image lies beyond the limit; zooming in still works.
    viewport.SetLevelSize(1, 1, true);
    viewport.ShowActualSize();
    viewport.ZoomBy(0.5);
    EXPECT_DOUBLE_EQ(viewport.PixelsPerTexel(), 1);
    viewport.ZoomBy(2);
    EXPECT_DOUBLE_EQ(viewport.PixelsPerTexel(), 2);
}

TEST(FlatViewportTest, PanMovesTheImageByDevicePixels) {
    for (const double ratio : {1.0, 2.0}) {
        FlatViewport viewport = Make({200, 100, ratio}, 64, 64);
        viewport.ShowActualSize();
        const DeviceRect before = viewport.ImageRect();
        viewport.Pan(-7, 3);
        EXPECT_DOUBLE_EQ(viewport.ImageRect().left, before.left - 7 * ratio);
        EXPECT_DOUBLE_EQ(viewport.ImageRect().top, before.top + 3 * ratio);
        EXPECT_DOUBLE_EQ(viewport.PixelsPerTexel(), 1);
    }
}

struct TexelCase {
    ViewPoint mouse;
    std::optional<TexelPosition> expected;
};

class TexelAtTest : public testing::TestWithParam<std::tuple<double, TexelCase>> {};

// A 64 x 32 level at 1:1 filling the view of 64 x 32 device pixels.
TEST_P(TexelAtTest, EdgesAndBeyond) {
    const auto& [ratio, c] = GetParam();
    FlatViewport viewport = Make({64 / ratio, 32 / ratio, ratio}, 64, 32);
    viewport.Fit();
    viewport.ShowActualSize();
    ASSERT_DOUBLE_EQ(viewport.ImageRect().left, 0);
    const ViewPoint mouse{c.mouse.x / ratio, c.mouse.y / ratio};
    EXPECT_EQ(viewport.TexelAt(mouse), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, TexelAtTest,
    testing::Combine(testing::Values(1.0, 2.0),
                     testing::Values(TexelCase{{0, 0}, TexelPosition{0, 0}},
                                     TexelCase{{63, 31}, TexelPosition{63, 31}},
                                     TexelCase{{63.9, 31.9}, TexelPosition{63, 31}},
                                     TexelCase{{17, 9}, TexelPosition{17, 9}},
                                     TexelCase{{64, 0}, std::nullopt},
                                     TexelCase{{0, 32}, std::nullopt},
                                     TexelCase{{-0.1, 5}, std::nullopt},
                                     TexelCase{{5, -3}, std::nullopt})));

TEST(FlatViewportTest, AnotherLevelKeepsTheImageWidthOnScreen) {
    FlatViewport viewport = Make({400, 300, 1}, 324, 184);
    viewport.Fit();
    const DeviceRect before = viewport.ImageRect();
    viewport.SetLevelSize(40, 23, true); // level 3: sides halved and rounded down
    const DeviceRect after = viewport.ImageRect();
    EXPECT_DOUBLE_EQ(after.left, before.left);
    EXPECT_DOUBLE_EQ(after.top, before.top);
    EXPECT_DOUBLE_EQ(after.right, before.right);
    EXPECT_NEAR(after.bottom, before.bottom, viewport.PixelsPerTexel());
    // Texels of the smaller level are larger on screen.
    EXPECT_EQ(viewport.TexelAt({200, 150}), (TexelPosition{20, 11}));
}

TEST(FlatViewportTest, ResizingKeepsTheCentrePoint) {
    FlatViewport viewport = Make({400, 300, 1}, 100, 100);
    viewport.Fit();
    viewport.ShowActualSize();
    const std::optional<TexelPosition> centre = viewport.TexelAt({200, 150});
    ASSERT_TRUE(centre.has_value());
    viewport.SetWindow(600, 500, 1);
    EXPECT_EQ(viewport.TexelAt({300, 250}), centre);
}

} // namespace
