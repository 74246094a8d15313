#pragma once

#include "texture/pixel_format.h"
#include "texture/pixel_masks.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pictavo {

using Bytes = std::vector<std::uint8_t>;

// Sides are at most 32767, so no chain is longer.
inline constexpr std::uint32_t kMaxSide = 32767;
inline constexpr std::uint32_t kMaxLevels = 16;

enum class Container : std::uint8_t { kIwi, kDds };

// Version 27 format 2 files hold 4-byte texels cut to three quarters of their length, which
// the game reads as 3-byte pixels: stripes.
enum class CutTexels : std::uint8_t {
    kNone,
    kReadAsStored,   // read as the game reads them, 3 bytes a pixel (format RGB8)
    kReadAsFourByte, // read as the 4-byte texels they are (RGBA8), those past the bytes clear
};

// What a header (and the file's size) says about a texture; reading it allocates nothing.
struct TextureInfo {
    TextureInfo();

    Container container = Container::kIwi;
    std::uint8_t version = 0; // IWI version; 0 for DDS
    std::uint8_t format = 0;  // FormatCode
    std::uint8_t usage = 0;   // IWI usage byte
    std::uint32_t flags = 0;  // bytes 4-7 of IWI versions 8 and 9
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t depth = 1;
    std::uint32_t faces = 1;  // 6 for a cube map
    std::uint32_t levels = 1; // per face
    // Whether the levels are cut texels, and how they are read.
    CutTexels cutTexels = CutTexels::kNone;
    std::uint64_t fileSize = 0;

    std::uint32_t LevelWidth(std::uint32_t level) const { return LevelSide(width, level); }
    std::uint32_t LevelHeight(std::uint32_t level) const { return LevelSide(height, level); }
    // Byte size of one face of one level, as stored.
    std::uint64_t LevelBytes(std::uint32_t level) const;
    // Bytes of all levels of all faces.
    std::uint64_t DataBytes() const;
    // "IWI v8" or "DDS".
    std::string ContainerText() const;
    // The pixel format as the file stores it: "DXT5", "RGBA8", or for a DDS file of
    // uncompressed pixels its layout ("R5G6B5", "A8L8") or DXGI format.
    std::string FormatText() const;
    // What is wrong with a file that reads, in a sentence for the user; empty when nothing is.
    std::string WarningText() const;
    // Whether the IWI header keeps its marks in a usage byte after the format (versions 5, 6,
    // 13 and 27) rather than in bytes 4-7 (versions 8 and 9): the field is "usage" or "flags".
    bool HasUsageByte() const;
    // That field as stored, and what its bits mark: "0x06 (no mipmaps, cube map)", "0x00
    // (none)", "0x00000140 (other bits 0x00000140)".
    std::string UsageText() const;
    // How the levels are laid out, in a few words ("smallest level first", ...).
    std::string LayoutText() const;

private:
    // Where the file keeps its levels and how its header stores them: the library's own
    // TextureLayout, which only the reader fills. Held in place, so that reading a header
    // allocates nothing and copying the info copies it.
    friend struct TextureLayout;
    static constexpr std::size_t kLayoutBytes = 512;
    alignas(std::uint64_t) std::byte layout_[kLayoutBytes];
};

// A whole texture: its info and the stored bytes of every level of every face, each
// exactly as the file holds them (rows top first, DXT blocks and B, G, R order untouched),
// except DDS layouts of their own, which are unpacked into the info's format.
struct Texture {
    TextureInfo info;
    std::vector<Bytes> images; // face-major: images[face * info.levels + level]

    const Bytes& Image(std::uint32_t level, std::uint32_t face = 0) const {
        return images[static_cast<std::size_t>(face) * info.levels + level];
    }
    Bytes& Image(std::uint32_t level, std::uint32_t face = 0) {
        return images[static_cast<std::size_t>(face) * info.levels + level];
    }
};

} // namespace pictavo
