#pragma once

#include "archive/image_location.h"
#include "texture/decode.h"
#include "texture/result.h"
#include "texture/texture.h"

#include <cstdint>
#include <memory>
#include <string>

namespace pictavo {

// One side of a comparison: a texture, any of whose levels and faces can be shown, or a
// picture of one level.
struct CompareSide {
    std::string name;
    std::shared_ptr<const Texture> texture;
    RgbaImage picture; // when there is no texture

    bool Empty() const { return !texture && picture.pixels.empty(); }
    std::uint32_t Levels() const;
    std::uint32_t LevelWidth(std::uint32_t level) const;
    std::uint32_t LevelHeight(std::uint32_t level) const;
    // The level and face as RGBA, out-of-range choices brought into range; empty when they
    // do not decode.
    RgbaImage Decode(std::uint32_t level, std::uint32_t face) const;
};

// Reads a list entry or a file: IWI and DDS through the texture reader, PNG, TGA, JPEG, BMP
// and PSD through the picture decoders.
Result<CompareSide> ReadCompareSide(const ImageLocation& where);

} // namespace pictavo
