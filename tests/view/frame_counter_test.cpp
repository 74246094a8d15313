#include "view/frame_counter.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameCounterTest, CountsFramesUntilMoreThanASecondHasPassed) {
    FrameCounter counter;
    counter.Update(0.25f);
    counter.Update(0.5f);
    counter.Update(1.0f); // exactly one second: not yet
    EXPECT_EQ(counter.frames, 3);
    EXPECT_EQ(counter.framesPerSecond, 0.0f);
    EXPECT_EQ(counter.currentTime, 1.0f);
    EXPECT_EQ(counter.lastUpdateTime, 0.0f);

    counter.Update(1.25f);
    EXPECT_FLOAT_EQ(counter.framesPerSecond, 4 / 1.25f);
    EXPECT_EQ(counter.frames, 0);
    EXPECT_EQ(counter.lastUpdateTime, 1.25f);
    EXPECT_EQ(counter.currentTime, 1.25f);
}

TEST(FrameCounterTest, KeepsTheFigureBetweenUpdates) {
    FrameCounter counter;
    for (int frame = 1; frame <= 60; ++frame) {
        counter.Update(frame / 50.0f); // 50 frames a second
    }
    // Updated at the 51st frame (1.02 s): 51 frames over 1.02 s.
    EXPECT_NEAR(counter.framesPerSecond, 51 / 1.02f, 1e-4);
    EXPECT_EQ(counter.frames, 9);
    EXPECT_EQ(counter.framesDrawn, 60) << "the whole count goes on past the refresh";
    EXPECT_FLOAT_EQ(counter.lastUpdateTime, 51 / 50.0f);
}

TEST(FrameCounterTest, AFrameAfterALongPauseGivesALowFigure) {
    FrameCounter counter;
    counter.Update(1.5f);
    counter.Update(1.6f);
    counter.Update(11.6f); // ten seconds without frames, as while minimised
    EXPECT_NEAR(counter.framesPerSecond, 2 / 10.1f, 1e-6);
}

} // namespace
