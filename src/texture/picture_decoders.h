#pragma once

#include "texture/decode.h"
#include "texture/result.h"

#include <cstdint>
#include <span>

// One reader a picture format, each behind DecodePicture.
namespace pictavo {

Status DecodePng(std::span<const std::uint8_t> bytes, RgbaImage& out);
Status DecodeJpeg(std::span<const std::uint8_t> bytes, RgbaImage& out);
Status DecodePsd(std::span<const std::uint8_t> bytes, RgbaImage& out);

} // namespace pictavo
