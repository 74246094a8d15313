#pragma once

#include "texture/result.h"

#include <cstdint>
#include <span>

namespace pictavo {

enum class PictureKind { kNone, kPng, kJpeg, kTga, kBmp, kPsd };

// What the bytes start like. TGA has no signature: a header of a kind that is read makes one.
PictureKind PictureKindOf(std::span<const std::uint8_t> bytes);

// For TGA and BMP files, read by stb: whether the size the header claims is within the budget
// and the file's bytes can hold that many pixels, even run-length encoded; if not, why.
Status CheckTgaHeader(std::span<const std::uint8_t> bytes);
Status CheckBmpHeader(std::span<const std::uint8_t> bytes);

} // namespace pictavo
