#pragma once

#include "texture/decode.h"

#include <cstdint>
#include <span>
#include <string>

// One reader a picture format, each behind DecodePicture; on failure `failure` says why.
namespace pictavo {

bool DecodePng(std::span<const std::uint8_t> bytes, RgbaImage& out, std::string& failure);
bool DecodeJpeg(std::span<const std::uint8_t> bytes, RgbaImage& out, std::string& failure);
bool DecodePsd(std::span<const std::uint8_t> bytes, RgbaImage& out, std::string& failure);

} // namespace pictavo
