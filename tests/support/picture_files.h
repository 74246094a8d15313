#pragma once

#include "texture/decode.h"

#include <cstdint>
#include <string>
#include <vector>

// Picture files of every kind the converter reads, written independently of its readers, for
// tests and fuzz seeds.
namespace pictavo::testing {

using Bytes = std::vector<std::uint8_t>;

// `channels` of the picture (1 grey, 2 grey and alpha, 3 RGB, 4 RGBA) through stb_image_write.
Bytes MakePng(const RgbaImage& image, int channels);
Bytes MakeJpeg(const RgbaImage& image, int quality);
Bytes MakeTga(const RgbaImage& image, int channels, bool runLength);
Bytes MakeBmp(const RgbaImage& image);
// A Photoshop file of only a merged picture: RGB, or RGBA for 4 channels, 8 bits each.
Bytes MakePsd(const RgbaImage& image, int channels, bool packBits);

// A PNG chunk: length, type, data and CRC.
Bytes PngChunk(const std::string& type, const Bytes& data);

} // namespace pictavo::testing
