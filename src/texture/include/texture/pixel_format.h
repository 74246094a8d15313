#pragma once

#include <cstdint>

namespace pictavo {

// Pixel format codes as IWI headers store them, and codes of our own, above the IWI ones,
// for the block formats that only DDS files hold.
enum FormatCode : std::uint8_t {
    kFormatBgra8 = 1, // B, G, R, A per pixel
    kFormatBgr8 = 2,  // B, G, R per pixel
    kFormatLa8 = 3,   // luminance, then alpha, per pixel
    kFormatA8 = 4,    // alpha only
    kFormatVariable = 7,
    kFormatDxt1 = 11,
    kFormatDxt3 = 12,
    kFormatDxt5 = 13,
    kFormatBc4 = 0x40,       // one channel, decoded as grey
    kFormatBc4Signed = 0x41, // the same, signed values mapped to 0..255
    kFormatBc5 = 0x50,       // two channels, decoded as red and green
    kFormatBc5Signed = 0x51,
    kFormatBc7 = 0x70,
};

struct FormatInfo {
    FormatCode code;
    bool compressed;
    std::uint32_t blockDimension;
    std::uint32_t bytesPerBlock;
    const char* name;
    bool inIwi; // an IWI file can hold it
};

// The table row of a format code, or nullptr for a code no reader takes.
const FormatInfo* FindFormat(int code);

// Number of block columns (or block rows) that cover a side, at least one.
std::uint32_t BlocksAcross(const FormatInfo& info, std::uint32_t side);

// Byte size of one level: whole blocks in each direction, at least one block.
std::uint64_t LevelSize(const FormatInfo& info, std::uint32_t width, std::uint32_t height);

// Side of the next smaller level: chains halve downwards, and 1 stays 1.
inline std::uint32_t NextLevelSide(std::uint32_t side) {
    return side > 1 ? side >> 1 : 1;
}

// Side of level `level` of a chain whose level 0 has side `side`.
inline std::uint32_t LevelSide(std::uint32_t side, std::uint32_t level) {
    return level >= 32 || (side >> level) == 0 ? 1 : side >> level;
}

// Most levels a chain can have for the given level-0 size (down to 1 x 1).
std::uint32_t MaxLevelCount(std::uint32_t width, std::uint32_t height);

} // namespace pictavo
