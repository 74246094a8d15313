#include "view/overlay_text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Expected {
    int y;
    std::string text;
};

std::vector<Expected> Lines(const OverlayState& state) {
    std::vector<Expected> lines;
    for (const OverlayLine& line : ComposeOverlay(state)) {
        EXPECT_EQ(line.x, 5) << line.text;
        EXPECT_EQ(line.showsFramesPerSecond, std::string(line.text) == "FPS: %.2f");
        lines.push_back({line.y, line.text});
    }
    return lines;
}

MATCHER_P2(IsLine, y, text, "") {
    return arg.y == y && arg.text == text;
}

TEST(OverlayTextTest, WithoutCombiningOnlyTheSwitchAndTheFrameRateShow) {
    for (bool normalMap : {false, true}) {
        for (bool emboss : {false, true}) {
            EXPECT_THAT(Lines({false, normalMap, emboss}),
                        testing::ElementsAre(IsLine(10, "Combine Normal Map: Off (F1)"),
                                             IsLine(20, "FPS: %.2f")));
        }
    }
}

TEST(OverlayTextTest, CombiningAddsTheNormalMapAndEmbossLines) {
    EXPECT_THAT(Lines({true, false, false}),
                testing::ElementsAre(IsLine(10, "Combine Normal Map: On (F1)"),
                                     IsLine(20, "FPS: %.2f"), IsLine(25, "-------------------"),
                                     IsLine(30, "NormalMap: No"), IsLine(40, "Emboss: Off (F2)")));
    EXPECT_THAT(Lines({true, true, true}),
                testing::ElementsAre(IsLine(10, "Combine Normal Map: On (F1)"),
                                     IsLine(20, "FPS: %.2f"), IsLine(25, "-------------------"),
                                     IsLine(30, "NormalMap: Yes"), IsLine(40, "Emboss: On (F2)")));
}

TEST(OverlayTextTest, NormalMapAndEmbossLinesFollowTheirFlagsSeparately) {
    const std::vector<Expected> lines = Lines({true, true, false});
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[3].text, "NormalMap: Yes");
    EXPECT_EQ(lines[4].text, "Emboss: Off (F2)");
    const std::vector<Expected> other = Lines({true, false, true});
    ASSERT_EQ(other.size(), 5u);
    EXPECT_EQ(other[3].text, "NormalMap: No");
    EXPECT_EQ(other[4].text, "Emboss: On (F2)");
}

} // namespace
