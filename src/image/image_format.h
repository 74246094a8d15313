#pragma once

#include <cstdint>

// Pixel format codes as they appear in IWI headers.
enum IWIFormat : std::uint8_t {
    IWI_FMT_RGBA8 = 1,
    IWI_FMT_RGB = 2,
    IWI_FMT_DXT1 = 11,
    IWI_FMT_DXT3 = 12,
    IWI_FMT_DXT5 = 13,
};

struct FormatInfo {
    IWIFormat code;
    bool compressed;
    std::uint32_t blockDimension;
    std::uint32_t bytesPerBlock;
};

// The table row of a format code, or nullptr for a code the program cannot read.
const FormatInfo* FindFormatInfo(int code);

// Byte size of one level: whole blocks in each direction, at least one block.
std::uint64_t LevelSize(const FormatInfo& info, std::uint32_t width, std::uint32_t height);

// Number of block columns (or block rows) that cover a side.
std::uint32_t BlocksAcross(const FormatInfo& info, std::uint32_t side);

// Side of the next smaller level in an IWI chain; 1 stays 1.
inline std::uint32_t NextLevelSide(std::uint32_t side) {
    return (side + 1) >> 1;
}

// Side of the next smaller level in a DDS chain, which halves downwards; 1 stays 1.
inline std::uint32_t NextDDSLevelSide(std::uint32_t side) {
    return side > 1 ? side >> 1 : 1;
}

// Most levels a chain can have for the given level-0 size (down to 1 x 1).
std::uint32_t MaxLevelCount(std::uint32_t width, std::uint32_t height);
