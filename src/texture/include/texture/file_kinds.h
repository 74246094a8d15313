#pragma once

#include <array>
#include <string_view>

namespace pictavo {

// The extensions of the files the programs open, in lower case without their dot; a file's
// own may be in any case. Choosers, the converter's folder walk and the list all take them
// from here.

// Textures: IWI and DDS.
inline constexpr std::array<std::string_view, 2> kTextureExtensions{"iwi", "dds"};
// Pictures, read to be converted to a texture.
inline constexpr std::array<std::string_view, 6> kPictureExtensions{"png",  "tga", "jpg",
                                                                    "jpeg", "bmp", "psd"};
// The zip archives the games pack textures in (listed by the archive library, not here).
inline constexpr std::array<std::string_view, 2> kArchiveExtensions{"iwd", "zip"};

} // namespace pictavo
