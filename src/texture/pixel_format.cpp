#include "texture/pixel_format.h"

#include <algorithm>
#include <array>

namespace pictavo {

namespace {

constexpr std::array<FormatInfo, 12> kFormats{{
    {kFormatBgra8, false, 1, 4, "RGBA8", true},
    {kFormatBgr8, false, 1, 3, "RGB8", true},
    {kFormatLa8, false, 1, 2, "LA8", true},
    {kFormatA8, false, 1, 1, "A8", true},
    {kFormatDxt1, true, 4, 8, "DXT1", true},
    {kFormatDxt3, true, 4, 16, "DXT3", true},
    {kFormatDxt5, true, 4, 16, "DXT5", true},
    {kFormatBc4, true, 4, 8, "BC4", false},
    {kFormatBc4Signed, true, 4, 8, "BC4 signed", false},
    {kFormatBc5, true, 4, 16, "BC5", false},
    {kFormatBc5Signed, true, 4, 16, "BC5 signed", false},
    {kFormatBc7, true, 4, 16, "BC7", false},
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
