#pragma once

#include "texture/decode.h"

#include <cstdint>
#include <string>

namespace pictavo {

// A thumbnail the grid shows, with the texture's facts its cell gives under it.
struct GridThumbnail {
    RgbaImage image;         // at most the size asked for, a side
    std::uint32_t width = 0; // the texture's level 0
    std::uint32_t height = 0;
    std::uint32_t faces = 1;
    std::string format;  // "DXT5"
    std::string warning; // what is wrong with the file, in a sentence; empty when nothing is
};

} // namespace pictavo
