#pragma once

#include "texture/pixel_masks.h"
#include "texture/texture.h"

#include <array>
#include <cstdint>
#include <new>

namespace pictavo {

// Where an IWI file keeps its levels after the header.
enum class LevelOrder : std::uint8_t {
    kSmallestFirst, // level 0 last, ending where the level data ends
    kLargestFirst,  // level 0 right after the header
    // Level 0 last, but copied in pieces that count whole blocks only (sides rounded
    // down): read in turn from level 0's piece down, the pieces hold the chain largest first.
    kBlockPieces,
};

// A run of bytes in a file.
struct ByteRun {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};

// How a file lays out its levels and what its header stores beyond what callers are told:
// the reader fills it, and reading the levels and the info's texts follow it. Every
// TextureInfo carries one, reached through Of().
struct TextureLayout {
    // Where the levels are: the header's end, the order of an IWI chain, bytes the chain
    // leaves over, and where each IWI level's first face starts (its faces follow it).
    std::uint64_t dataOffset = 0;
    LevelOrder order = LevelOrder::kSmallestFirst;
    std::uint64_t spareBytes = 0;
    // Bytes the file lacks at the end of the image it ends with (level 0's last face): its
    // run stops at the end of the file, and reading gives zeros for the rest.
    std::uint64_t missingBytes = 0;
    std::array<std::uint64_t, kMaxLevels> levelOffsets{};
    // kBlockPieces only: the pieces, level 0's first.
    std::array<ByteRun, kMaxLevels> pieces{};
    std::uint32_t pieceCount = 0;

    std::array<std::uint32_t, 8> offsets{}; // IWI offset table as stored
    std::uint32_t offsetCount = 0;

    // A DDS file's own uncompressed layout, which reading unpacks into the info's format;
    // bits 0 when the levels are stored as the format holds them.
    PixelMasks stored;
    // A DDS file's uncompressed layout as its header gives it, kept for its name when the
    // levels are read as the format holds them.
    PixelMasks storedLayout;
    // A DDS file's pixel format as its header gives it: the FourCC (0 for masks) and, behind
    // the extended header, the DXGI format. Set as far as the header was read, so that a
    // format we do not read can be named.
    std::uint32_t fourCC = 0;
    std::uint32_t dxgiFormat = 0;

    static TextureLayout& Of(TextureInfo& info) {
        return *std::launder(reinterpret_cast<TextureLayout*>(info.layout_));
    }
    static const TextureLayout& Of(const TextureInfo& info) {
        return *std::launder(reinterpret_cast<const TextureLayout*>(info.layout_));
    }
};

// File offset of one face of one level (for pieces, of the level's first byte).
std::uint64_t ImageOffset(const TextureInfo& info, std::uint32_t level, std::uint32_t face);
// Where the bytes of one face of one level lie, in order: one run, or for pieces up to as many
// as there are pieces; a run that the end of the file cuts short stops there. Returns the
// number of runs written to `runs`.
std::uint32_t ImageRuns(const TextureInfo& info, std::uint32_t level, std::uint32_t face,
                        std::array<ByteRun, kMaxLevels>& runs);

} // namespace pictavo
