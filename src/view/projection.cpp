#include "view/projection.h"

#include <cmath>
#include <numbers>

AspectScale ComputeAspectScale(std::int16_t width, std::int16_t height) {
    if (width == 0) {
        return {};
    }
    const float w = width;
    const float h = height;
    if (w >= h) {
        return {1, h / w};
    }
    return {w / h, 1};
}

FrustumBounds PerspectiveFrustum(double fieldOfViewDegrees, double aspect, double zNear,
                                 double zFar) {
    const double top = zNear * std::tan(fieldOfViewDegrees * std::numbers::pi / 360.0);
    const double right = top * aspect;
    return {-right, right, -top, top, zNear, zFar};
}
