#include "dds_format_name.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>

namespace pictavo::dds {

namespace {

// DXGI_FORMAT values 0 to 115, without the prefix.
constexpr std::array<const char*, 116> kDxgiNames{
    "UNKNOWN",
    "R32G32B32A32_TYPELESS",
    "R32G32B32A32_FLOAT",
    "R32G32B32A32_UINT",
    "R32G32B32A32_SINT",
    "R32G32B32_TYPELESS",
    "R32G32B32_FLOAT",
    "R32G32B32_UINT",
    "R32G32B32_SINT",
    "R16G16B16A16_TYPELESS",
    "R16G16B16A16_FLOAT",
    "R16G16B16A16_UNORM",
    "R16G16B16A16_UINT",
    "R16G16B16A16_SNORM",
    "R16G16B16A16_SINT",
    "R32G32_TYPELESS",
    "R32G32_FLOAT",
    "R32G32_UINT",
    "R32G32_SINT",
    "R32G8X24_TYPELESS",
    "D32_FLOAT_S8X24_UINT",
    "R32_FLOAT_X8X24_TYPELESS",
    "X32_TYPELESS_G8X24_UINT",
    "R10G10B10A2_TYPELESS",
    "R10G10B10A2_UNORM",
    "R10G10B10A2_UINT",
    "R11G11B10_FLOAT",
    "R8G8B8A8_TYPELESS",
    "R8G8B8A8_UNORM",
    "R8G8B8A8_UNORM_SRGB",
    "R8G8B8A8_UINT",
    "R8G8B8A8_SNORM",
    "R8G8B8A8_SINT",
    "R16G16_TYPELESS",
    "R16G16_FLOAT",
    "R16G16_UNORM",
    "R16G16_UINT",
    "R16G16_SNORM",
    "R16G16_SINT",
    "R32_TYPELESS",
    "D32_FLOAT",
    "R32_FLOAT",
    "R32_UINT",
    "R32_SINT",
    "R24G8_TYPELESS",
    "D24_UNORM_S8_UINT",
    "R24_UNORM_X8_TYPELESS",
    "X24_TYPELESS_G8_UINT",
    "R8G8_TYPELESS",
    "R8G8_UNORM",
    "R8G8_UINT",
    "R8G8_SNORM",
    "R8G8_SINT",
    "R16_TYPELESS",
    "R16_FLOAT",
    "D16_UNORM",
    "R16_UNORM",
    "R16_UINT",
    "R16_SNORM",
    "R16_SINT",
    "R8_TYPELESS",
    "R8_UNORM",
    "R8_UINT",
    "R8_SNORM",
    "R8_SINT",
    "A8_UNORM",
    "R1_UNORM",
    "R9G9B9E5_SHAREDEXP",
    "R8G8_B8G8_UNORM",
    "G8R8_G8B8_UNORM",
    "BC1_TYPELESS",
    "BC1_UNORM",
    "BC1_UNORM_SRGB",
    "BC2_TYPELESS",
    "BC2_UNORM",
    "BC2_UNORM_SRGB",
    "BC3_TYPELESS",
    "BC3_UNORM",
    "BC3_UNORM_SRGB",
    "BC4_TYPELESS",
    "BC4_UNORM",
    "BC4_SNORM",
    "BC5_TYPELESS",
    "BC5_UNORM",
    "BC5_SNORM",
    "B5G6R5_UNORM",
    "B5G5R5A1_UNORM",
    "B8G8R8A8_UNORM",
    "B8G8R8X8_UNORM",
    "R10G10B10_XR_BIAS_A2_UNORM",
    "B8G8R8A8_TYPELESS",
    "B8G8R8A8_UNORM_SRGB",
    "B8G8R8X8_TYPELESS",
    "B8G8R8X8_UNORM_SRGB",
    "BC6H_TYPELESS",
    "BC6H_UF16",
    "BC6H_SF16",
    "BC7_TYPELESS",
    "BC7_UNORM",
    "BC7_UNORM_SRGB",
    "AYUV",
    "Y410",
    "Y416",
    "NV12",
    "P010",
    "P016",
    "420_OPAQUE",
    "YUY2",
    "Y210",
    "Y216",
    "NV11",
    "AI44",
    "IA44",
    "P8",
    "A8P8",
    "B4G4R4A4_UNORM",
};

// The Direct3D 9 formats writers put in the FourCC field as numbers: 16-bit and float ones.
struct D3dFormat {
    std::uint32_t number;
    const char* name;
};

constexpr D3dFormat kD3dFormats[] = {
    {36, "A16B16G16R16"}, {110, "Q16W16V16U16"},  {111, "R16F"},
    {112, "G16R16F"},     {113, "A16B16G16R16F"}, {114, "R32F"},
    {115, "G32R32F"},     {116, "A32B32G32R32F"}, {117, "CxV8U8"},
};

} // namespace

std::string DxgiFormatName(std::uint32_t dxgi) {
    const std::string number = "DXGI format " + std::to_string(dxgi);
    return dxgi < kDxgiNames.size() ? kDxgiNames[dxgi] + (" (" + number + ")") : number;
}

std::string FourCCName(std::uint32_t fourCC) {
    for (const D3dFormat& format : kD3dFormats) {
        if (format.number == fourCC) {
            return std::string(format.name) + " (D3DFMT " + std::to_string(fourCC) + ")";
        }
    }
    std::string text;
    for (unsigned shift = 0; shift < 32; shift += 8) {
        const char c = static_cast<char>((fourCC >> shift) & 0xFF);
        if (c < 0x20 || c > 0x7E) {
            return "FourCC " + std::to_string(fourCC);
        }
        text += c;
    }
    return "FourCC \"" + text + "\"";
}

std::string MasksName(const PixelMasks& masks) {
    struct Channel {
        char letter;
        std::uint32_t mask;
    };
    const std::array<Channel, 4> channels{{{masks.luminance ? 'L' : 'R', masks.red},
                                           {'G', masks.green},
                                           {'B', masks.blue},
                                           {'A', masks.alpha}}};
    std::string name;
    int unused = 0;
    const auto flushUnused = [&] {
        if (unused != 0) {
            name += 'X';
            name += std::to_string(unused);
            unused = 0;
        }
    };
    for (int bit = static_cast<int>(masks.bits) - 1; bit >= 0;) {
        const auto starts = [bit](const Channel& c) {
            return c.mask != 0 && 31 - std::countl_zero(c.mask) == bit;
        };
        const auto channel = std::find_if(channels.begin(), channels.end(), starts);
        if (channel == channels.end()) {
            ++unused;
            --bit;
            continue;
        }
        flushUnused();
        const int width = std::popcount(channel->mask);
        name += channel->letter;
        name += std::to_string(width);
        bit -= width;
    }
    flushUnused();
    return name;
}

} // namespace pictavo::dds
