#include "view/scene_geometry.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

float Dot(const Vector3& a, const Vector3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vector3 Minus(const Vector3& a, const Vector3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

// A face is consistent when its vertices lie in the plane its normal names, the tangent and
// binormal lie in that plane, and s and t grow along the tangent and the binormal, each over
// the full 2-unit edge.
void ExpectConsistent(const Face& face, float offset, const char* name) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Dot(face.normal, face.normal), 1.0f);
    EXPECT_EQ(Dot(face.tangent, face.normal), 0.0f);
    EXPECT_EQ(Dot(face.binormal, face.normal), 0.0f);
    EXPECT_EQ(Dot(face.tangent, face.binormal), 0.0f);
    for (const TexturedVertex& a : face.vertices) {
        EXPECT_EQ(Dot(a.position, face.normal), offset);
        for (const TexturedVertex& b : face.vertices) {
            const Vector3 edge = Minus(b.position, a.position);
            EXPECT_EQ(Dot(edge, face.tangent), 2 * (b.s - a.s));
            EXPECT_EQ(Dot(edge, face.binormal), 2 * (b.t - a.t));
        }
    }
}

TEST(SceneGeometryTest, PlaneSpansTheUnitSquareAtZeroDepth) {
    ExpectConsistent(kPlane, 0.0f, "plane");
    EXPECT_EQ(kPlane.vertices[0].position.x, -1.0f);
    EXPECT_EQ(kPlane.vertices[0].position.y, -1.0f);
    EXPECT_EQ(kPlane.vertices[0].s, 0.0f);
    EXPECT_EQ(kPlane.vertices[0].t, 0.0f);
}

TEST(SceneGeometryTest, EveryCubeFaceIsConsistentAndOneUnitOut) {
    const char* names[] = {"front", "back", "top", "bottom", "right", "left"};
    for (std::size_t i = 0; i < kCube.size(); ++i) {
        ExpectConsistent(kCube[i], 1.0f, names[i]);
    }
}

TEST(SceneGeometryTest, CubeFacesPointSixDifferentWays) {
    for (std::size_t i = 0; i < kCube.size(); ++i) {
        for (std::size_t j = i + 1; j < kCube.size(); ++j) {
            EXPECT_LT(Dot(kCube[i].normal, kCube[j].normal), 0.5f) << i << " and " << j;
        }
    }
}

TEST(SceneGeometryTest, FrontFaceIsThePlaneMovedForward) {
    const Face& front = kCube[0];
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(front.vertices[k].s, kPlane.vertices[k].s);
        EXPECT_EQ(front.vertices[k].t, kPlane.vertices[k].t);
        EXPECT_EQ(front.vertices[k].position.x, kPlane.vertices[k].position.x);
        EXPECT_EQ(front.vertices[k].position.y, kPlane.vertices[k].position.y);
        EXPECT_EQ(front.vertices[k].position.z, 1.0f);
    }
}

TEST(SceneGeometryTest, QuadsWindCounterClockwiseSeenFromOutside) {
    auto cross = [](const Vector3& a, const Vector3& b) {
        return Vector3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    };
    for (const Face& face : kCube) {
        const Vector3 e1 = Minus(face.vertices[1].position, face.vertices[0].position);
        const Vector3 e2 = Minus(face.vertices[2].position, face.vertices[1].position);
        EXPECT_GT(Dot(cross(e1, e2), face.normal), 0.0f);
    }
}

} // namespace
