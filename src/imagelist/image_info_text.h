#pragma once

#include "archive/image_location.h"
#include "texture/texture.h"

#include <cstdint>
#include <string>

namespace pictavo {

// "512 B", "4 KiB", "1.3 MiB": a byte count as people read it.
std::string ByteSizeText(std::uint64_t bytes);

// What the info panel shows about an image, one fact per line: container and version,
// format as stored, what is wrong with the file if anything is, usage, size, levels with
// their sizes, faces, layout, file size and where it lives.
std::string ImageInfoText(const TextureInfo& info, const ImageLocation& where);

} // namespace pictavo
