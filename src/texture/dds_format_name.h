#pragma once

#include "texture/pixel_masks.h"

#include <cstdint>
#include <string>

namespace pictavo::dds {

// Names a DDS pixel format for a message: a DXGI format of the extended header
// ("BC6H_UF16 (DXGI format 95)"), a FourCC ("FourCC \"RXGB\""), or a Direct3D 9 format
// number where the FourCC holds one ("A16B16G16R16F (D3DFMT 113)").
std::string DxgiFormatName(std::uint32_t dxgi);
std::string FourCCName(std::uint32_t fourCC);
// An uncompressed layout as Direct3D names it, channels from the most significant bits down
// and unused bits as X: "A8R8G8B8", "X1R5G5B5", "A8L8", "L16". The masks must be runs.
std::string MasksName(const PixelMasks& masks);

} // namespace pictavo::dds
