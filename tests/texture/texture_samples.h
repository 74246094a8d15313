#pragma once

#include "image_files.h"
#include "texture/decode.h"
#include "texture/texture.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// Real textures and the tools that decode them independently, for the texture tests.
namespace pictavo::testing {

struct CorpusTexture {
    std::string name; // path inside the corpus folder
    Texture texture;
};

// Every texture in the corpus (IWI and DDS) that the reader takes and `wanted` accepts, in
// path order; empty when the corpus is absent.
std::vector<CorpusTexture>
ReadCorpusTextures(const std::function<bool(const TextureInfo&)>& wanted);

// Level 0 (first face) decoded by us; fails the test when it does not decode.
RgbaImage DecodeLevel0(const Texture& texture);

// Whether every byte of `actual` is within `tolerance` of `expected`; names the first pixel
// that is not.
::testing::AssertionResult PixelsWithin(const Bytes& expected, const Bytes& actual,
                                        std::uint32_t width, int tolerance);

// RGBA of a level of an uncompressed format, written out from what each stored byte means.
Bytes StoredToRgba(int format, const Bytes& stored);

// The RGBA pixels of an image file as ImageMagick reads it; empty when it fails.
Bytes ImageMagickPixels(const TempDir& dir, const std::string& file,
                        const std::string& options = "");

} // namespace pictavo::testing
