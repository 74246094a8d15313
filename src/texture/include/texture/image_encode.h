#pragma once

#include "texture/decode.h"
#include "texture/output_file.h"
#include "texture/texture_error.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pictavo {

// Image files a painting program opens, encoded in memory. False when the image is empty or
// too large for the format.
bool EncodePng(const RgbaImage& image, std::vector<std::uint8_t>& out);
// TGAs are uncompressed, top row first, and 24-bit where the picture is opaque, else 32-bit.
bool EncodeTga(const RgbaImage& image, std::vector<std::uint8_t>& out);

// Whether a TGA holds a picture of these sides.
bool FitsTga(std::uint32_t width, std::uint32_t height);

// Where rows `first` .. `first + count - 1` of a picture lie as RGBA, 4 * width bytes a row:
// in `band`, which holds `count` rows, when they are made there; nullptr when they cannot be.
using TgaRows = std::function<const std::uint8_t*(std::uint32_t first, std::uint32_t count,
                                                  std::uint8_t* band)>;

// A TGA file written a band of rows at a time, never holding the whole picture twice: 24-bit
// when `opaque` (alpha dropped), else 32-bit. kBadSize for sides a TGA cannot hold,
// kTruncated when rows could not be had, else what writing the file gives (kExists when
// `ifExists` keeps a file there).
TextureError WriteTga(std::uint32_t width, std::uint32_t height, bool opaque, const TgaRows& rows,
                      const std::string& path, IfExists ifExists = IfExists::kReplace);

} // namespace pictavo
