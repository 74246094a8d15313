#pragma once

#include "texture/decode.h"
#include "texture/texture.h"

#include <array>
#include <cstdint>
#include <string>

namespace pictavo {

// The faces of a cube map in the order both containers store them, +X, -X, +Y, -Y, +Z, -Z:
// DDS by its definition, IWI as the games' skies show (docs/cube-maps.md). Each face's rows
// run top first as the Direct3D and OpenGL cube map rules lay them.
inline constexpr std::uint32_t kCubeFaces = 6;

// "+X", "−X" (a minus sign), ... for faces 0 to 5; "Face N" beyond.
std::string CubeFaceName(std::uint32_t face);

// The horizontal cross the six faces unfold into, 4 faces wide and 3 high:
//          +Y
//     -X   +Z   +X   -Z
//          -Y
// Every edge two faces share in the cross is an edge they share on the cube.
inline constexpr std::uint32_t kCrossColumns = 4;
inline constexpr std::uint32_t kCrossRows = 3;
struct CrossCell {
    std::uint32_t column = 0;
    std::uint32_t row = 0;
};
CrossCell CrossCellOf(std::uint32_t face);

// Level `level` of every face as RGBA; false when the texture is no cube map or a face does
// not decode.
bool DecodeCubeFaces(const Texture& texture, std::uint32_t level,
                     std::array<RgbaImage, kCubeFaces>& faces);

// The faces laid out in the cross, cells without a face transparent black.
RgbaImage CrossOf(const std::array<RgbaImage, kCubeFaces>& faces);

} // namespace pictavo
