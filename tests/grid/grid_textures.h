#pragma once

#include "grid/grid_thumbnail_maker.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>

// Textures whose every texel is one colour, written by the texture library's own writer, and
// a thumbnail maker that counts its decodes.
namespace pictavo::testing {

struct Colour {
    std::uint8_t r, g, b;
    bool operator==(const Colour&) const = default;
};

// A colour of its own for each of the first 60,000 numbers.
Colour ColourOf(int number);

// An IWI file of `side` x `side` uncompressed texels of `colour`, with its mipmaps.
void WriteFlatIwi(const std::filesystem::path& path, Colour colour, std::uint32_t side = 16);
std::vector<std::uint8_t> FlatIwiBytes(Colour colour, std::uint32_t side = 16);

// The grid's own maker, counting each call.
struct CountingMaker {
    std::shared_ptr<std::atomic<int>> calls = std::make_shared<std::atomic<int>>(0);

    GridThumbnailMaker Maker() const;
    int Calls() const { return calls->load(); }
};

} // namespace pictavo::testing
