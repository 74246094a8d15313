#pragma once

#include "texture/output_file.h"
#include "texture/texture.h"
#include "texture/texture_error.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace pictavo {

// The 128 bytes a DDS file begins with: its magic and header.
using DdsHeaderBytes = std::array<std::uint8_t, 128>;

// Writers take the stored bytes of every level and face, face-major as Texture::images
// holds them, and replace `path` only once the new file is complete; told to keep a file
// already there, they leave it as it was and answer kExists.

// A DDS file: every face's chain, level 0 first; cube maps as DDS cube maps.
TextureError WriteDds(const TextureInfo& info, std::span<const Bytes> images,
                      const std::string& path, IfExists ifExists = IfExists::kReplace);

// An IWI file of version 5, 6, 8, 13 or 27, laid out as the games' own files of that
// version: the levels smallest first with level 0 ending the file, the offset table holding
// where each level ends, single-level and cube-map marks set. Only version 27 takes cube maps
// with mipmaps; formats no IWI version holds (BC4, BC5, BC7) are refused with kNoIwiFormat.
TextureError WriteIwi(const TextureInfo& info, std::span<const Bytes> images, std::uint8_t version,
                      const std::string& path, IfExists ifExists = IfExists::kReplace);

// The 128 bytes WriteDds begins a file of this texture with (the extended header that BC7
// needs follows them).
DdsHeaderBytes DdsHeader(const TextureInfo& info);

inline TextureError WriteDds(const Texture& texture, const std::string& path,
                             IfExists ifExists = IfExists::kReplace) {
    return WriteDds(texture.info, texture.images, path, ifExists);
}
inline TextureError WriteIwi(const Texture& texture, std::uint8_t version, const std::string& path,
                             IfExists ifExists = IfExists::kReplace) {
    return WriteIwi(texture.info, texture.images, version, path, ifExists);
}

// Any bytes, with the same care for what was there before.
TextureError WriteFileReplacing(const std::string& path, std::span<const std::uint8_t> bytes,
                                IfExists ifExists = IfExists::kReplace);

} // namespace pictavo
