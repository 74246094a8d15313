#include "view/emboss.h"

#include <array>
#include <cmath>
#include <numbers>

namespace {

// Column-major, as OpenGL stores matrices: element (row, column) at column * 4 + row.
using Matrix4 = std::array<float, 16>;

constexpr Matrix4 kIdentity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// The matrix glRotatef builds for a unit axis.
Matrix4 Rotation(float degrees, float x, float y, float z) {
    const float radians = degrees * std::numbers::pi_v<float> / 180.0f;
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    const float k = 1.0f - c;
    return {x * x * k + c,
            y * x * k + z * s,
            x * z * k - y * s,
            0,
            x * y * k - z * s,
            y * y * k + c,
            y * z * k + x * s,
            0,
            x * z * k + y * s,
            y * z * k - x * s,
            z * z * k + c,
            0,
            0,
            0,
            0,
            1};
}

Matrix4 Multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 product{};
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0;
            for (int i = 0; i < 4; ++i) {
                sum += a[i * 4 + row] * b[column * 4 + i];
            }
            product[column * 4 + row] = sum;
        }
    }
    return product;
}

float Dot(const Vector3& a, const Vector3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

} // namespace

LightVector ComputeLightVector(float rotationX, float rotationY) {
    // The inverse of the camera's rotation, applied through its transpose.
    const Matrix4 m =
        Multiply(Multiply(kIdentity, Rotation(-rotationX, 1, 0, 0)), Rotation(-rotationY, 0, 1, 0));
    const LightVector& l = kLightPosition;
    return {m[0] * l.x + m[1] * l.y + m[2] * l.z + m[3] * l.w,
            m[4] * l.x + m[5] * l.y + m[6] * l.z + m[7] * l.w,
            m[8] * l.x + m[9] * l.y + m[10] * l.z + m[11] * l.w, m[15]};
}

EmbossOffset ComputeEmbossOffset(const Vector3& position, const LightVector& light,
                                 const Vector3& tangent, const Vector3& binormal) {
    constexpr float kReliefDepth = 0.4f;
    Vector3 toLight{light.x - position.x, light.y - position.y, light.z - position.z};
    const float length = std::sqrt(Dot(toLight, toLight));
    toLight = {toLight.x / length, toLight.y / length, toLight.z / length};
    return {kReliefDepth * Dot(toLight, tangent), kReliefDepth * Dot(toLight, binormal)};
}
