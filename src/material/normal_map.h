#pragma once

#include "texture/decode.h"

#include <cstddef>
#include <cstdint>

namespace pictavo {

// Where a normal map keeps its vector. The games' maps hold X in alpha and Y in green (red
// and blue repeat green), Z follows from unit length; a plain map holds X, Y, Z in red,
// green and blue.
enum class NormalLayout { kAlphaGreen, kRgb };

// A vector in the surface's frame: x to the picture's right, y to its top, z out of the
// surface.
struct SurfaceVector {
    float x = 0;
    float y = 0;
    float z = 1;
};

// The games' layout when red, green and blue agree on nearly every texel and alpha varies;
// otherwise the plain one.
NormalLayout DetectNormalLayout(const RgbaImage& image);

// The normal of one RGBA texel, unit length unless the texel is off (see IsOffNormal). The
// games' green grows towards the picture's bottom; `flipGreen` reads it the other way.
SurfaceVector DecodeNormal(const std::uint8_t* texel, NormalLayout layout, bool flipGreen);

// Whether a texel cannot be a normal: its vector far from unit length (in the games' layout,
// X and Y alone past it), or pointing into the surface. A texel of all zeroes is no texel of
// the surface (unused space between a model's pieces) and is never off.
bool IsOffNormal(const std::uint8_t* texel, NormalLayout layout);
bool IsUnusedTexel(const std::uint8_t* texel);

struct NormalCheck {
    std::size_t checked = 0; // texels of the surface
    std::size_t off = 0;
    double Share() const { return checked == 0 ? 0.0 : double(off) / double(checked); }
};

NormalCheck CheckNormalMap(const RgbaImage& image, NormalLayout layout);

// The map as the view samples it: the decoded vector in red, green and blue (v * 0.5 + 0.5)
// and alpha 255, or 0 where the texel is off; `flipGreen` is left to the shader.
RgbaImage PackNormals(const RgbaImage& image, NormalLayout layout);

} // namespace pictavo
