#pragma once

#include "grid/grid_thumbnail.h"

#include <string>

namespace pictavo {

// Whether a thumbnail lets nearly all of the checkerboard through: its cell would look empty.
bool NearlyTransparent(const RgbaImage& image);

// The facts a cell gives under its thumbnail: "512 x 256 DXT5", " cube" for a cube map,
// ", nearly transparent" where the cell would look empty, and what is wrong with the file.
std::string CellCaption(const GridThumbnail& thumbnail);

} // namespace pictavo
