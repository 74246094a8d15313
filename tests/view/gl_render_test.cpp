// Frames drawn on a real context and read back: the start-up picture, the aspect scaling,
// the cube, the emboss pass, the clear colour and the frames skipped while minimised.
#include "dxt5_decoder.h"
#include "gl_view_fixture.h"
#include "view/startup_picture.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <cmath>

namespace pictavo::testing {
namespace {

using RenderTest = ViewTest;

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

bool Reddish(Rgb p) {
    return p.r > 150 && p.g < 60 && p.b < 60;
}

bool Whitish(Rgb p) {
    return p.r > 200 && p.g > 200 && p.b > 200;
}

bool Greyish(Rgb p) {
    return std::abs(p.r - p.g) <= 8 && std::abs(p.g - p.b) <= 8;
}

TEST_F(RenderTest, StartupPictureIsDrawnLitAndBlendedOverTheBackground) {
    // The lit colour of a white texel, for the same lighting as the picture's.
    UploadSolid(256, 128, kWhite, 255, TEXTURE_SLOT_COLOR);
    const Frame white = DrawFrame();
    const auto [cx, cy] = PlanePixel(0, 0);
    const Rgb lit = white.At(cx, cy);
    ASSERT_GT(lit.r, 150);

    ASSERT_EQ(Control().UploadDefaultImage(), IWI_OK);
    const Frame frame = DrawFrame();
    const std::vector<Texel> texels = DecodeDxt5(kStartupPicture.data(), 256, 128);
    auto texelAt = [&texels](int s, int t) { return texels[std::size_t(t) * 256 + s]; };

    // Compare where the picture is flat, so that filtering cannot matter.
    int compared = 0;
    for (int t = 6; t < 122; t += 4) {
        for (int s = 6; s < 250; s += 4) {
            const Texel centre = texelAt(s, t);
            bool flat = true;
            for (int dt = -5; dt <= 5 && flat; ++dt) {
                for (int ds = -5; ds <= 5 && flat; ++ds) {
                    const Texel n = texelAt(s + ds, t + dt);
                    flat = std::abs(n.r - centre.r) < 6 && std::abs(n.g - centre.g) < 6 &&
                           std::abs(n.b - centre.b) < 6 && std::abs(n.a - centre.a) < 6;
                }
            }
            if (!flat) {
                continue;
            }
            const float a = centre.a / 255.0f;
            auto expected = [&](int texel, int light, int background) {
                return int(std::lround(a * texel * light / 255.0f + (1 - a) * background));
            };
            const Rgb want{expected(centre.r, lit.r, kDefaultBackground.r),
                           expected(centre.g, lit.g, kDefaultBackground.g),
                           expected(centre.b, lit.b, kDefaultBackground.b)};
            // Texel centre on the plane, which the picture's 2:1 shape halves in height.
            const auto [x, y] =
                PlanePixel(-1 + 2 * (s + 0.5f) / 256, (-1 + 2 * (t + 0.5f) / 128) / 2);
            EXPECT_TRUE(Near(frame.At(x, y), want, 12))
                << "texel " << s << ", " << t << " at pixel " << x << ", " << y << ": got "
                << frame.At(x, y).r << " " << frame.At(x, y).g << " " << frame.At(x, y).b
                << ", want " << want.r << " " << want.g << " " << want.b;
            ++compared;
        }
    }
    EXPECT_GT(compared, 100);
}

struct AspectCase {
    int width;
    int height;
    double widthShare;  // of the square image's drawn width
    double heightShare; // of the square image's drawn height
};

class AspectRenderTest : public ViewTest, public ::testing::WithParamInterface<AspectCase> {};

TEST_P(AspectRenderTest, ImageKeepsItsProportions) {
    UploadSolid(256, 256, kWhite, 255, TEXTURE_SLOT_COLOR);
    const Frame square = DrawFrame();
    const int squareWidth = square.CountInRow(kSize / 2, Whitish);
    // Below the overlay, whose text's rim is whitish too.
    const int squareHeight = square.CountInColumn(kSize / 2, Whitish, kBelowOverlay);
    ASSERT_GT(squareWidth, 100);
    EXPECT_NEAR(squareWidth, squareHeight, 2);

    UploadSolid(GetParam().width, GetParam().height, kWhite, 255, TEXTURE_SLOT_COLOR);
    const Frame frame = DrawFrame();
    EXPECT_NEAR(frame.CountInRow(kSize / 2, Whitish), squareWidth * GetParam().widthShare, 2);
    EXPECT_NEAR(frame.CountInColumn(kSize / 2, Whitish, kBelowOverlay),
                squareHeight * GetParam().heightShare, 2);
}

INSTANTIATE_TEST_SUITE_P(Sizes, AspectRenderTest,
                         ::testing::Values(AspectCase{512, 256, 1.0, 0.5},
                                           AspectCase{256, 512, 0.5, 1.0},
                                           AspectCase{128, 128, 1.0, 1.0},
                                           AspectCase{1024, 256, 1.0, 0.25}));

TEST_F(RenderTest, CubeDiffersFromThePlaneAndItsFrontFaceIsNearer) {
    UploadSolid(256, 256, kWhite, 255, TEXTURE_SLOT_COLOR);
    const Frame plane = DrawFrame();
    theSettings.new_3DCubeView = true;
    const Frame cube = DrawFrame();
    EXPECT_GT(cube.CountDifferences(plane, 10), 5000);
    // The front face is 4 units from the eye instead of 5.
    EXPECT_NEAR(double(cube.CountInRow(kSize / 2, Whitish)) / plane.CountInRow(kSize / 2, Whitish),
                1.25, 0.03);

    // Turned, the cube shows more than one face, and lit differently.
    Control().OnMouseMove({}, 0, 0);
    Control().OnMouseMove({true, false}, 60, 50);
    const Frame turned = DrawFrame();
    EXPECT_GT(turned.CountDifferences(cube, 10), 5000);
    Control().OnMouseMove({}, 0, 0);
    theSettings.new_3DCubeView = false;
    const Frame turnedPlane = DrawFrame();
    EXPECT_GT(turned.CountDifferences(turnedPlane, 10), 5000);
}

TEST_F(RenderTest, PlaneAndCubeEachKeepTheirOwnTurn) {
    using ViewMode = COpenGLControl::ViewMode;
    UploadSolid(256, 256, kWhite, 255, TEXTURE_SLOT_COLOR);
    const Frame plane = DrawFrame();
    Control().SetViewMode(ViewMode::kCube);
    Control().OnMouseMove({}, 0, 0);
    Control().OnMouseMove({true, false}, 360, 40); // half a turn, and a little over
    EXPECT_EQ(Control().Camera().rotationY, 180.0f);

    Control().SetViewMode(ViewMode::kPlane);
    EXPECT_EQ(Control().Camera().rotationY, 0.0f);
    EXPECT_EQ(Control().Camera().rotationX, 0.0f);
    EXPECT_EQ(DrawFrame().CountDifferences(plane, 2), 0) << "the plane's face, from the front";
    Control().OnMouseMove({true, false}, 380, 40); // the plane's own turn, from where the mouse is
    EXPECT_EQ(Control().Camera().rotationY, 10.0f);

    Control().SetViewMode(ViewMode::kCube);
    EXPECT_EQ(Control().Camera().rotationY, 180.0f);
    EXPECT_EQ(Control().Camera().rotationX, 20.0f);
}

TEST_F(RenderTest, StartupPictureStaysFlatInCubeView) {
    const Frame plane = DrawFrame();
    theSettings.new_3DCubeView = true;
    const Frame cubeView = DrawFrame();
    EXPECT_EQ(cubeView.CountDifferences(plane, 0), 0);
}

// A grey normal map of vertical stripes: relief the emboss pass can show.
std::vector<std::uint8_t> StripedNormalMap(int size) {
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const std::uint8_t level = (x / 16) % 2 == 0 ? 200 : 60;
            pixels.insert(pixels.end(), {level, level, level, 255});
        }
    }
    return pixels;
}

TEST_F(RenderTest, EmbossOnlyFrameShowsTheReliefWithoutTheColourTexture) {
    UploadSolid(128, 128, kRed, 255, TEXTURE_SLOT_COLOR);
    UploadRgba(128, 128, StripedNormalMap(128), TEXTURE_SLOT_NORMAL);
    theSettings.MergeBUMP = true;
    theSettings.normalMapLoaded = true;
    const Frame colour = DrawFrame();
    theSettings.embossOn = true;
    const Frame emboss = DrawFrame();

    const auto [cx, cy] = PlanePixel(0, 0);
    EXPECT_TRUE(Reddish(colour.At(cx, cy)));
    EXPECT_GT(emboss.CountDifferences(colour, 20, kBelowOverlay), 20000);
    EXPECT_EQ(emboss.Count(Reddish), 0) << "the colour texture must not show";
    // Grey stripes summed with their shifted inverse: grey, in more than one shade.
    int shades = 0;
    int last = -1;
    for (int x = 0; x < kSize; ++x) {
        const Rgb p = emboss.At(x, cy);
        EXPECT_TRUE(Greyish(p)) << x;
        if (std::abs(p.r - last) > 20) {
            ++shades;
            last = p.r;
        }
    }
    EXPECT_GT(shades, 4);
}

TEST_F(RenderTest, MergedFrameBlendsTheColourOverTheReliefByItsAlpha) {
    UploadSolid(128, 128, kRed, 255, TEXTURE_SLOT_COLOR);
    UploadRgba(128, 128, StripedNormalMap(128), TEXTURE_SLOT_NORMAL);
    theSettings.normalMapLoaded = true;
    const Frame plain = DrawFrame();
    theSettings.MergeBUMP = true;
    const Frame opaqueMerged = DrawFrame();
    // An opaque colour map covers the relief completely.
    EXPECT_EQ(opaqueMerged.Count(Reddish), plain.Count(Reddish));

    UploadSolid(128, 128, kRed, 128, TEXTURE_SLOT_COLOR);
    theSettings.MergeBUMP = false;
    const Frame translucent = DrawFrame();
    theSettings.MergeBUMP = true;
    const Frame merged = DrawFrame();
    const auto [cx, cy] = PlanePixel(0, 0);
    EXPECT_FALSE(Near(merged.At(cx, cy), translucent.At(cx, cy), 10));
    EXPECT_GT(merged.CountDifferences(translucent, 10, kBelowOverlay), 10000);
}

TEST_F(RenderTest, EmbossWithoutANormalMapLeavesTheColourFrame) {
    UploadSolid(128, 128, kRed, 255, TEXTURE_SLOT_COLOR);
    theSettings.MergeBUMP = true;
    const Frame colour = DrawFrame();
    theSettings.embossOn = true; // F2 pressed, but no normal map came with the image
    const Frame emboss = DrawFrame();
    const auto [cx, cy] = PlanePixel(0, 0);
    EXPECT_TRUE(Reddish(emboss.At(cx, cy)));
    EXPECT_EQ(emboss.Count(Reddish), colour.Count(Reddish));
}

TEST_F(RenderTest, NoFrameIsDrawnWhileMinimised) {
    theSettings.color_background = 0x00000080;
    Control().UpdateClearColor();
    DrawFrame();
    const FrameCounter counted = Control().Counter();

    theSettings.color_background = 0x00008000;
    Control().UpdateClearColor();
    theSettings.dialogMinimized = true;
    for (int tick = 0; tick < 3; ++tick) {
        Control().OnTimer(COpenGLControl::kFrameTimerId);
    }
    EXPECT_TRUE(Near(ReadFrame().At(2, kSize - 3), {128, 0, 0}, 1));
    EXPECT_EQ(Control().Counter().frames, counted.frames);
    EXPECT_EQ(Control().Counter().currentTime, counted.currentTime);

    theSettings.dialogMinimized = false;
    EXPECT_TRUE(Near(DrawFrame().At(2, kSize - 3), {0, 128, 0}, 1));
}

TEST_F(RenderTest, OnlyTheFrameTimerDraws) {
    theSettings.color_background = 0x00000080;
    Control().UpdateClearColor();
    DrawFrame();
    theSettings.color_background = 0x00800000;
    Control().UpdateClearColor();
    Control().OnTimer(2);
    EXPECT_TRUE(Near(ReadFrame().At(2, kSize - 3), {128, 0, 0}, 1));
}

TEST_F(RenderTest, FramesReachTheScreen) {
    theSettings.color_background = 0x00306090;
    Control().UpdateClearColor();
    const Rgb want{0x90, 0x60, 0x30};
    Control().OnTimer(COpenGLControl::kFrameTimerId);
    // The window system composes the frame some time after the tick: wait for it.
    QElapsedTimer waited;
    waited.start();
    QColor shown;
    do {
        QTest::qWait(20);
        const QImage screen = Window().screen()->grabWindow(Window().winId()).toImage();
        shown = screen.pixelColor(10, kSize - 10);
    } while (!Near({shown.red(), shown.green(), shown.blue()}, want, 2) && waited.elapsed() < 3000);
    EXPECT_TRUE(Near({shown.red(), shown.green(), shown.blue()}, want, 2))
        << shown.red() << " " << shown.green() << " " << shown.blue();
}

class ClearColourTest : public ViewTest, public ::testing::WithParamInterface<std::uint32_t> {};

TEST_P(ClearColourTest, BackgroundFollowsTheSetting) {
    theSettings.color_background = GetParam();
    Control().UpdateClearColor();
    const Frame frame = DrawFrame();
    const Rgb want{int(GetParam() & 0xFF), int(GetParam() >> 8 & 0xFF),
                   int(GetParam() >> 16 & 0xFF)};
    for (const auto& [x, y] : {std::pair{2, kSize - 3}, {kSize - 3, kSize - 3}, {kSize - 3, 60}}) {
        EXPECT_TRUE(Near(frame.At(x, y), want, 1)) << x << ", " << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Colours, ClearColourTest,
                         ::testing::Values(0x00A4A0A0u, 0x00000000u, 0x00FFFFFFu, 0x00102030u,
                                           0x000000FFu));

} // namespace
} // namespace pictavo::testing
