#include "view/view_camera.h"

namespace {

constexpr float kDegreesPerPixel = 0.5f;
constexpr float kZoomPerPixel = 0.1f;
constexpr float kFullTurn = 360.0f;

} // namespace

float WrapRotation(float degrees) {
    return degrees > kFullTurn || degrees < -kFullTurn ? 0.0f : degrees;
}

void ViewCamera::MouseMove(MouseButtons buttons, float x, float y, bool zoomEnabled) {
    const int dx = hasLastPosition_ ? int(x - lastX_) : 0;
    const int dy = hasLastPosition_ ? int(y - lastY_) : 0;
    hasLastPosition_ = true;
    lastX_ = x;
    lastY_ = y;
    if (buttons.left) {
        rotationX = WrapRotation(rotationX + kDegreesPerPixel * float(dy));
        rotationY = WrapRotation(rotationY + kDegreesPerPixel * float(dx));
    } else if (buttons.right && zoomEnabled) {
        // Up moves the image away, down brings it closer; there is no limit either way.
        distance -= kZoomPerPixel * float(dy);
    }
}
