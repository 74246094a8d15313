#pragma once

#include "material/lighting.h"

// What the material mode draws the material on.
enum class MaterialShape { kPlane, kCube, kSphere };

// The material mode's choices: the shape, the light, and the checks a modder turns on.
struct MaterialSettings {
    MaterialShape shape = MaterialShape::kPlane;
    pictavo::MaterialShow show = pictavo::MaterialShow::kLit;
    pictavo::LightAngles light;
    bool flipGreen = false;
    // Texels whose normal cannot be one drawn red over the lit picture.
    bool markOffNormals = false;
};
