#pragma once

#include "view/material_settings.h"

#include <vector>

// One corner of the material's surface: position, texture coordinates (t grows down the
// picture, as its rows do), and the surface's frame, each vector of unit length: the
// picture's right (tangent), its top (bitangent) and out of the surface (normal).
struct MaterialVertex {
    float position[3];
    float uv[2];
    float tangent[3];
    float bitangent[3];
    float normal[3];
};

// Triangles of the shape, three vertices each: the plane and the cube as the other modes draw
// them, each cube face in its own frame; a sphere of radius 1 with the picture wrapped once
// around it, its top at the north pole.
std::vector<MaterialVertex> MaterialMesh(MaterialShape shape);
