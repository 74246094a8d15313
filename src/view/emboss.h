#pragma once

struct Vector3 {
    float x = 0;
    float y = 0;
    float z = 0;
};

struct LightVector {
    float x = 0;
    float y = 0;
    float z = 0;
    float w = 1;
};

// Texture-coordinate shift of the inverted normal map at one vertex.
struct EmbossOffset {
    float du = 0;
    float dv = 0;
};

// Light 1's position, given while the model-view matrix is the identity.
inline constexpr LightVector kLightPosition{0, 0, 2, 1};

// The light position in the model's frame: (0, 0, 2) rotated by rotationX degrees about x,
// then by rotationY degrees about y; w stays 1.
LightVector ComputeLightVector(float rotationX, float rotationY);

// Shift of 0.4 times the unit vector from the vertex to the light, along the face's tangent
// and binormal. The light is never at a vertex, so the vector always has a length.
EmbossOffset ComputeEmbossOffset(const Vector3& position, const LightVector& light,
                                 const Vector3& tangent, const Vector3& binormal);
