#pragma once

#include <cstdint>
#include <string>

namespace pictavo::dds {

// Names a DDS pixel format for a message: a DXGI format of the extended header
// ("BC6H_UF16 (DXGI format 95)"), a FourCC ("FourCC \"RXGB\""), or a Direct3D 9 format
// number where the FourCC holds one ("A16B16G16R16F (D3DFMT 113)").
std::string DxgiFormatName(std::uint32_t dxgi);
std::string FourCCName(std::uint32_t fourCC);

} // namespace pictavo::dds
