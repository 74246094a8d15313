#pragma once

#include "texture/pixel_format.h"

// The image object's names for the texture library's format table.
enum IWIFormat : std::uint8_t {
    IWI_FMT_RGBA8 = pictavo::kFormatBgra8,
    IWI_FMT_RGB = pictavo::kFormatBgr8,
    IWI_FMT_LA8 = pictavo::kFormatLa8,
    IWI_FMT_A8 = pictavo::kFormatA8,
    IWI_FMT_DXT1 = pictavo::kFormatDxt1,
    IWI_FMT_DXT3 = pictavo::kFormatDxt3,
    IWI_FMT_DXT5 = pictavo::kFormatDxt5,
};

using FormatInfo = pictavo::FormatInfo;
using pictavo::LevelSize;
using pictavo::MaxLevelCount;
using pictavo::NextLevelSide;

// The table row of a format code, or nullptr for a code the program cannot read.
inline const FormatInfo* FindFormatInfo(int code) {
    return pictavo::FindFormat(code);
}
