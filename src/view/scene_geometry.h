#pragma once

#include "view/emboss.h"

#include <array>

struct TexturedVertex {
    float s = 0;
    float t = 0;
    Vector3 position;
};

// One quad with its normal and the emboss directions of increasing s (tangent) and
// increasing t (binormal), vertices in drawing order.
struct Face {
    Vector3 normal;
    Vector3 tangent;
    Vector3 binormal;
    std::array<TexturedVertex, 4> vertices;
};

inline constexpr Face kPlane{
    {0, 0, 1},
    {1, 0, 0},
    {0, 1, 0},
    {{{0, 0, {-1, -1, 0}}, {1, 0, {1, -1, 0}}, {1, 1, {1, 1, 0}}, {0, 1, {-1, 1, 0}}}}};

// Front, back, top, bottom, right, left; the front face is the plane moved to z = 1.
inline constexpr std::array<Face, 6> kCube{{
    {{0, 0, 1},
     {1, 0, 0},
     {0, 1, 0},
     {{{0, 0, {-1, -1, 1}}, {1, 0, {1, -1, 1}}, {1, 1, {1, 1, 1}}, {0, 1, {-1, 1, 1}}}}},
    {{0, 0, -1},
     {-1, 0, 0},
     {0, 1, 0},
     {{{1, 0, {-1, -1, -1}}, {1, 1, {-1, 1, -1}}, {0, 1, {1, 1, -1}}, {0, 0, {1, -1, -1}}}}},
    {{0, 1, 0},
     {1, 0, 0},
     {0, 0, -1},
     {{{0, 1, {-1, 1, -1}}, {0, 0, {-1, 1, 1}}, {1, 0, {1, 1, 1}}, {1, 1, {1, 1, -1}}}}},
    {{0, -1, 0},
     {-1, 0, 0},
     {0, 0, -1},
     {{{1, 1, {-1, -1, -1}}, {0, 1, {1, -1, -1}}, {0, 0, {1, -1, 1}}, {1, 0, {-1, -1, 1}}}}},
    {{1, 0, 0},
     {0, 0, -1},
     {0, 1, 0},
     {{{1, 0, {1, -1, -1}}, {1, 1, {1, 1, -1}}, {0, 1, {1, 1, 1}}, {0, 0, {1, -1, 1}}}}},
    {{-1, 0, 0},
     {0, 0, 1},
     {0, 1, 0},
     {{{0, 0, {-1, -1, -1}}, {1, 0, {-1, -1, 1}}, {1, 1, {-1, 1, 1}}, {0, 1, {-1, 1, -1}}}}},
}};
