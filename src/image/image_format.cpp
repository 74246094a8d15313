#include "image_format.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<FormatInfo, 5> kFormats{{
    {IWI_FMT_RGBA8, false, 1, 4},
    {IWI_FMT_RGB, false, 1, 3},
    {IWI_FMT_DXT1, true, 4, 8},
    {IWI_FMT_DXT3, true, 4, 16},
    {IWI_FMT_DXT5, true, 4, 16},
}};

} // namespace

const FormatInfo* FindFormatInfo(int code) {
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
