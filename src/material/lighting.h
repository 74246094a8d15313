#pragma once

#include "material/normal_map.h"

#include <cstdint>

namespace pictavo {

struct Rgb {
    float r = 0;
    float g = 0;
    float b = 0;
};

// What the material view shows of the lit surface.
enum class MaterialShow { kLit, kNormals, kSpecular };

// A directional light given by its angles: azimuth about the view's axis, 0 from the right,
// 90 from above; elevation over the surface, 90 straight from the viewer.
struct LightAngles {
    float azimuthDegrees = 135;
    float elevationDegrees = 45;
};

// The unit vector towards the light in the view's frame (x right, y up, z to the viewer).
SurfaceVector LightDirection(const LightAngles& angles);

// The lighting's constants; the shader takes the same as uniforms.
inline constexpr float kAmbient = 0.25f;
inline constexpr float kDiffuse = 0.85f;
// Gloss 0..1 of the specular map's alpha spreads the highlight's power from 2 to 2048.
inline constexpr float kLeastPower = 1.0f;
inline constexpr float kPowerRange = 10.0f;
// Without a specular map: a faint, broad highlight.
inline constexpr Rgb kPlainSpecular{0.1f, 0.1f, 0.1f};
inline constexpr float kPlainGloss = 0.3f;

// One texel of the material: colour and specular colour 0..1, gloss 0..1.
struct MaterialTexel {
    Rgb colour;
    Rgb specular = kPlainSpecular;
    float gloss = kPlainGloss;
};

// Ambient plus Lambert diffuse times the colour, plus the Blinn-Phong highlight (power from
// the gloss) times the specular colour; the normal, the light and the viewer in one frame,
// unit length. Each channel clamped to 0..1.
Rgb ShadeTexel(const MaterialTexel& texel, const SurfaceVector& normal,
               const SurfaceVector& toLight, const SurfaceVector& toViewer, MaterialShow show);

// 0..1 to 0..255, rounded as the frame buffer stores it.
std::uint8_t ToByte(float value);

// The maps of one level, all of the colour map's size; the specular map may be absent.
struct MaterialLevel {
    const RgbaImage* colour = nullptr;
    const RgbaImage* normal = nullptr;
    const RgbaImage* specular = nullptr;
    NormalLayout layout = NormalLayout::kAlphaGreen;
    bool flipGreen = false;
};

// The level lit as a plane facing the viewer, texel for texel, alpha kept: the formula the
// view's shader follows, on the processor. Empty when a map is missing or of another size.
RgbaImage LightLevel(const MaterialLevel& level, const SurfaceVector& toLight, MaterialShow show);

} // namespace pictavo
