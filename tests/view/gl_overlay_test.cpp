// The overlay's lines as drawn: where they appear in the 465 x 301 unit area and when.
#include "gl_view_fixture.h"
#include "view/overlay_text.h"

#include <cmath>

namespace pictavo::testing {
namespace {

bool TextColour(Rgb p) {
    return p.g > 200 && p.r < 60 && p.b < 60;
}

class OverlayTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        theSettings.color_text = 0x0000FF00; // pure green: nothing else in the frame is
        Control().UpdateTextColor();
    }

    static int Row(double units) { return int(std::lround(units * kSize / kOverlayHeight)); }

    // The first and last rows where text differs between two frames.
    static std::pair<int, int> ChangedTextRows(const Frame& a, const Frame& b) {
        int first = -1, last = -1;
        for (int y = 0; y < a.Height(); ++y) {
            for (int x = 0; x < a.Width(); ++x) {
                if (TextColour(a.At(x, y)) != TextColour(b.At(x, y))) {
                    first = first < 0 ? y : first;
                    last = y;
                    break;
                }
            }
        }
        return {first, last};
    }
};

TEST_F(OverlayTest, WithoutCombiningTwoLinesShowAtTheTop) {
    const Frame frame = DrawFrame();
    EXPECT_GT(frame.Count(TextColour, 0, Row(10) + 1), 30) << "the switch line";
    EXPECT_GT(frame.Count(TextColour, Row(13), Row(20) + 1), 30) << "the frame-rate line";
    EXPECT_EQ(frame.Count(TextColour, Row(24), kSize), 0) << "nothing below them";
}

TEST_F(OverlayTest, TextStartsFiveUnitsFromTheLeftInTheTextColour) {
    const Frame frame = DrawFrame();
    int leftmost = kSize;
    for (int y = 0; y < Row(24); ++y) {
        for (int x = 0; x < kSize; ++x) {
            if (TextColour(frame.At(x, y))) {
                leftmost = std::min(leftmost, x);
                EXPECT_TRUE(Near(frame.At(x, y), {0, 255, 0}, 1));
            }
        }
    }
    const int five = int(5.0 * kSize / kOverlayWidth);
    EXPECT_GE(leftmost, five - 1);
    EXPECT_LE(leftmost, five + 3);
}

TEST_F(OverlayTest, CombiningAddsLinesDownToFortyUnits) {
    theSettings.MergeBUMP = true;
    const Frame frame = DrawFrame();
    EXPECT_GT(frame.Count(TextColour, Row(34), Row(40) + 1), 30) << "the emboss line";
    EXPECT_EQ(frame.Count(TextColour, Row(44), kSize), 0);
}

TEST_F(OverlayTest, SwitchLineSaysOnOrOff) {
    const Frame off = DrawFrame();
    theSettings.MergeBUMP = true;
    const Frame on = DrawFrame();
    const auto [first, last] = ChangedTextRows(off, on);
    EXPECT_LE(first, Row(10)) << "the first line changes";
    EXPECT_GE(last, Row(36)) << "and the lines below appear";
}

TEST_F(OverlayTest, NormalMapLineFollowsTheLoadedFlag) {
    theSettings.MergeBUMP = true;
    const Frame no = DrawFrame();
    theSettings.normalMapLoaded = true;
    const Frame yes = DrawFrame();
    const auto [first, last] = ChangedTextRows(no, yes);
    ASSERT_GE(first, 0) << "NormalMap: No and Yes look different";
    EXPECT_GE(first, Row(21));
    EXPECT_LE(last, Row(34));
}

TEST_F(OverlayTest, EmbossLineFollowsTheEmbossFlag) {
    theSettings.MergeBUMP = true;
    const Frame off = DrawFrame();
    theSettings.embossOn = true;
    const Frame on = DrawFrame();
    const auto [first, last] = ChangedTextRows(off, on);
    ASSERT_GE(first, 0) << "Emboss: Off and On look different";
    EXPECT_GE(first, Row(31));
    EXPECT_LE(last, Row(44));
}

TEST_F(OverlayTest, FrameRateLineChangesWhenTheFigureDoes) {
    const Frame first = DrawFrame();
    EXPECT_EQ(Control().Counter().framesPerSecond, 0.0f) << "no second has passed";
    AdvanceFrameClock(1.5f);
    const Frame later = DrawFrame();
    ASSERT_FLOAT_EQ(Control().Counter().framesPerSecond, 2 / 1.5f) << "two frames in 1.5 s";
    const auto [top, bottom] = ChangedTextRows(first, later);
    ASSERT_GE(top, 0);
    EXPECT_GE(top, Row(11));
    EXPECT_LE(bottom, Row(23));
}

// Relative luminance on 0 to 255, as the eye weighs the channels.
double Luminance(Rgb p) {
    return 0.2126 * p.r + 0.7152 * p.g + 0.0722 * p.b;
}

// The default blue text over a texture filling the view, and the background the same colour.
class OverlayContrastTest : public ViewTest, public ::testing::WithParamInterface<Rgb> {};

TEST_P(OverlayContrastTest, TextStandsOutFromTheTextureUnderIt) {
    const Rgb ground = GetParam();
    theSettings.color_background = std::uint32_t(ground.r | ground.g << 8 | ground.b << 16);
    Control().UpdateClearColor();
    UploadSolid(64, 64, ground, 255, TEXTURE_SLOT_COLOR);
    Control().OnMouseMove({}, 0, 0);
    Control().OnMouseMove({false, true}, 0, 35); // close enough for the plane to fill the view
    const Frame frame = DrawFrame();
    const int textBottom = int(24.0 * kSize / kOverlayHeight);
    const Rgb beside = frame.At(kSize - 2, textBottom / 2); // right of the text
    ASSERT_TRUE(Near(frame.At(kSize - 2, kSize - 2), beside, 2)) << "the texture fills the view";
    const int standingOut =
        frame.Count([beside](Rgb p) { return std::abs(Luminance(p) - Luminance(beside)) > 100; }, 0,
                    textBottom);
    EXPECT_GT(standingOut, 200);
}

INSTANTIATE_TEST_SUITE_P(Grounds, OverlayContrastTest,
                         ::testing::Values(Rgb{255, 0, 0}, Rgb{0, 0, 0}, Rgb{40, 40, 60}));

} // namespace
} // namespace pictavo::testing
