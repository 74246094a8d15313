#include "view/view_camera.h"

#include <gtest/gtest.h>

namespace {

constexpr MouseButtons kNone{};
constexpr MouseButtons kLeft{true, false};
constexpr MouseButtons kRight{false, true};
constexpr MouseButtons kBoth{true, true};

TEST(WrapRotationTest, StartsAgainFromZeroOnlyBeyondAFullTurn) {
    EXPECT_EQ(WrapRotation(360.25f), 0.0f);
    EXPECT_EQ(WrapRotation(-360.25f), 0.0f);
    EXPECT_EQ(WrapRotation(360.0f), 360.0f);
    EXPECT_EQ(WrapRotation(-360.0f), -360.0f);
    EXPECT_EQ(WrapRotation(359.75f), 359.75f);
    EXPECT_EQ(WrapRotation(0.5f), 0.5f);
}

// A camera whose last mouse position is (100, 100).
ViewCamera CameraAt100() {
    ViewCamera camera;
    camera.MouseMove(kNone, 100, 100, true);
    return camera;
}

TEST(ViewCameraTest, StartsFiveUnitsAwayUnrotated) {
    const ViewCamera camera;
    EXPECT_EQ(camera.distance, 5.0f);
    EXPECT_EQ(camera.rotationX, 0.0f);
    EXPECT_EQ(camera.rotationY, 0.0f);
}

TEST(ViewCameraTest, FirstMoveOnlyRecordsThePosition) {
    ViewCamera camera;
    camera.MouseMove(kLeft, 300, 200, true);
    EXPECT_EQ(camera.rotationX, 0.0f);
    EXPECT_EQ(camera.rotationY, 0.0f);
    camera.MouseMove(kLeft, 310, 204, true);
    EXPECT_EQ(camera.rotationX, 2.0f);
    EXPECT_EQ(camera.rotationY, 5.0f);
}

TEST(ViewCameraTest, LeftDragRotatesHalfADegreePerPixel) {
    ViewCamera camera = CameraAt100();
    camera.MouseMove(kLeft, 104, 90, true);
    EXPECT_EQ(camera.rotationX, -5.0f);
    EXPECT_EQ(camera.rotationY, 2.0f);
    EXPECT_EQ(camera.distance, 5.0f);
}

TEST(ViewCameraTest, ExactlyAFullTurnStaysAndPastItBecomesZero) {
    ViewCamera camera = CameraAt100();
    camera.MouseMove(kLeft, 100, 819, true); // 719 pixels: 359.5 degrees
    ASSERT_EQ(camera.rotationX, 359.5f);
    camera.MouseMove(kLeft, 100, 820, true); // 360: kept
    EXPECT_EQ(camera.rotationX, 360.0f);
    camera.MouseMove(kLeft, 100, 821, true); // 360.5: beyond, back to 0
    EXPECT_EQ(camera.rotationX, 0.0f);
}

TEST(ViewCameraTest, QuarterDegreeBelowAFullTurnPlusOnePixelBecomesZero) {
    ViewCamera camera = CameraAt100();
    camera.rotationX = 359.75f;
    camera.MouseMove(kLeft, 100, 101, true);
    EXPECT_EQ(camera.rotationX, 0.0f);
    camera.rotationY = -359.75f;
    camera.MouseMove(kLeft, 99, 101, true);
    EXPECT_EQ(camera.rotationY, 0.0f);
}

TEST(ViewCameraTest, DeltasAreTruncatedTowardZero) {
    ViewCamera camera = CameraAt100();
    camera.MouseMove(kLeft, 101.9f, 98.1f, true); // dx 1.9 -> 1, dy -1.9 -> -1
    EXPECT_EQ(camera.rotationY, 0.5f);
    EXPECT_EQ(camera.rotationX, -0.5f);
}

TEST(ViewCameraTest, BothButtonsOnlyRotate) {
    ViewCamera camera = CameraAt100();
    camera.MouseMove(kBoth, 110, 120, true);
    EXPECT_EQ(camera.rotationX, 10.0f);
    EXPECT_EQ(camera.rotationY, 5.0f);
    EXPECT_EQ(camera.distance, 5.0f);
}

TEST(ViewCameraTest, RightDragZoomsWhenEnabled) {
    ViewCamera camera = CameraAt100();
    camera.MouseMove(kRight, 130, 80, true); // up 20 pixels: two units further away
    EXPECT_FLOAT_EQ(camera.distance, 7.0f);
    camera.MouseMove(kRight, 130, 140, true); // down 60: six units closer, past the eye
    EXPECT_FLOAT_EQ(camera.distance, 1.0f);
    camera.MouseMove(kRight, 130, 160, true);
    EXPECT_FLOAT_EQ(camera.distance, -1.0f);
    EXPECT_EQ(camera.rotationX, 0.0f);
    EXPECT_EQ(camera.rotationY, 0.0f);
}

TEST(ViewCameraTest, RightDragChangesNothingWhenZoomIsOff) {
    ViewCamera camera = CameraAt100();
    camera.MouseMove(kRight, 130, 80, false);
    EXPECT_EQ(camera.distance, 5.0f);
    // The position still moved: the next zooming drag starts from here.
    camera.MouseMove(kRight, 130, 90, true);
    EXPECT_FLOAT_EQ(camera.distance, 4.0f);
}

TEST(ViewCameraTest, MovesWithoutButtonsOnlyTrackThePosition) {
    ViewCamera camera = CameraAt100();
    camera.MouseMove(kNone, 300, 300, true);
    EXPECT_EQ(camera.rotationX, 0.0f);
    EXPECT_EQ(camera.distance, 5.0f);
    camera.MouseMove(kLeft, 302, 300, true);
    EXPECT_EQ(camera.rotationY, 1.0f);
}

} // namespace
