#pragma once

#include "texture/decode.h"
#include "texture/result.h"
#include "texture/texture.h"

#include <cstdint>
#include <string>

namespace pictavo {

enum class PictureType { kNone, kPng, kTga };

// The picture type a file name asks for by its extension, in any case.
PictureType PictureTypeOf(const std::string& path);
// `path` with the type's extension added unless it already ends in one of the types' own.
std::string WithPictureExtension(const std::string& path, PictureType type);

// Writes a picture as a PNG or TGA file, through a temporary file renamed into place.
Status WritePicture(const RgbaImage& picture, PictureType type, const std::string& path);

// Writes one level of one face, decoded to RGBA, as a PNG or TGA file, through a temporary
// file renamed into place.
Status WriteLevelPicture(const Texture& texture, std::uint32_t level, std::uint32_t face,
                         PictureType type, const std::string& path);

} // namespace pictavo
