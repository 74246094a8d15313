#include "view/material_mesh.h"

#include "view/scene_geometry.h"

#include <cmath>
#include <numbers>

namespace {

constexpr int kSphereSlices = 64;
constexpr int kSphereStacks = 32;

MaterialVertex FaceCorner(const Face& face, const TexturedVertex& corner) {
    // The other modes' t grows up the picture.
    return {{corner.position.x, corner.position.y, corner.position.z},
            {corner.s, 1.0f - corner.t},
            {face.tangent.x, face.tangent.y, face.tangent.z},
            {face.binormal.x, face.binormal.y, face.binormal.z},
            {face.normal.x, face.normal.y, face.normal.z}};
}

void AddFace(const Face& face, std::vector<MaterialVertex>& out) {
    for (const int corner : {0, 1, 2, 0, 2, 3}) {
        out.push_back(FaceCorner(face, face.vertices[std::size_t(corner)]));
    }
}

// A point of the sphere at `u` round from the back (0..1) and `v` down from the north pole.
MaterialVertex SpherePoint(float u, float v) {
    const float longitude = (u - 0.5f) * 2.0f * std::numbers::pi_v<float>;
    const float colatitude = v * std::numbers::pi_v<float>;
    const float ring = std::sin(colatitude);
    const float x = ring * std::sin(longitude);
    const float y = std::cos(colatitude);
    const float z = ring * std::cos(longitude);
    // East along the parallel, and north along the meridian.
    const float east[3] = {std::cos(longitude), 0, -std::sin(longitude)};
    const float north[3] = {-std::cos(colatitude) * std::sin(longitude), std::sin(colatitude),
                            -std::cos(colatitude) * std::cos(longitude)};
    return {
        {x, y, z}, {u, v}, {east[0], east[1], east[2]}, {north[0], north[1], north[2]}, {x, y, z}};
}

} // namespace

std::vector<MaterialVertex> MaterialMesh(MaterialShape shape) {
    std::vector<MaterialVertex> vertices;
    if (shape == MaterialShape::kPlane) {
        AddFace(kPlane, vertices);
    } else if (shape == MaterialShape::kCube) {
        for (const Face& face : kCube) {
            AddFace(face, vertices);
        }
    } else {
        for (int stack = 0; stack < kSphereStacks; ++stack) {
            for (int slice = 0; slice < kSphereSlices; ++slice) {
                const float u0 = float(slice) / kSphereSlices;
                const float u1 = float(slice + 1) / kSphereSlices;
                const float v0 = float(stack) / kSphereStacks;
                const float v1 = float(stack + 1) / kSphereStacks;
                for (const auto& [u, v] :
                     {std::pair{u0, v0}, std::pair{u0, v1}, std::pair{u1, v1}, std::pair{u0, v0},
                      std::pair{u1, v1}, std::pair{u1, v0}}) {
                    vertices.push_back(SpherePoint(u, v));
                }
            }
        }
    }
    return vertices;
}
