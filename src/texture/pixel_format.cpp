#include "pixel_format.h"

#include <algorithm>
#include <array>

namespace pictavo {

namespace {

constexpr std::array<FormatInfo, 7> kFormats{{
    {kFormatBgra8, false, 1, 4, "RGBA8"},
    {kFormatBgr8, false, 1, 3, "RGB8"},
    {kFormatLa8, false, 1, 2, "LA8"},
    {kFormatA8, false, 1, 1, "A8"},
    {kFormatDxt1, true, 4, 8, "DXT1"},
    {kFormatDxt3, true, 4, 16, "DXT3"},
    {kFormatDxt5, true, 4, 16, "DXT5"},
}};

} // namespace

const FormatInfo* FindFormat(int code) {
    for (const FormatInfo& info : kFormats) {
        if (info.code == code) {
            return &info;
        }
    }
    return nullptr;
}

std::uint32_t BlocksAcross(const FormatInfo& info, std::uint32_t side) {
    const std::uint32_t d = info.blockDimension;
    return std::max<std::uint32_t>(1, side / d + (side % d != 0 ? 1 : 0));
}

std::uint64_t LevelSize(const FormatInfo& info, std::uint32_t width, std::uint32_t height) {
    return static_cast<std::uint64_t>(BlocksAcross(info, width)) * BlocksAcross(info, height) *
           info.bytesPerBlock;
}

std::uint32_t MaxLevelCount(std::uint32_t width, std::uint32_t height) {
    std::uint32_t side = std::max(width, height);
    std::uint32_t count = 1;
    while (side > 1) {
        side >>= 1;
        ++count;
    }
    return count;
}

} // namespace pictavo
