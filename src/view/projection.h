#pragma once

#include <cstdint>

inline constexpr double kFieldOfViewDegrees = 45.0;
inline constexpr double kNearPlane = 0.1;
inline constexpr double kFarPlane = 2000.0;

// Scale of the geometry's x and y that gives the image its proportions: the longer side
// spans the whole -1 to 1 extent.
struct AspectScale {
    float x = 1;
    float y = 1;
};

AspectScale ComputeAspectScale(std::int16_t width, std::int16_t height);

struct FrustumBounds {
    double left = 0;
    double right = 0;
    double bottom = 0;
    double top = 0;
    double zNear = 0;
    double zFar = 0;
};

// The glFrustum bounds of a symmetric perspective with the given vertical field of view.
FrustumBounds PerspectiveFrustum(double fieldOfViewDegrees, double aspect, double zNear,
                                 double zFar);
