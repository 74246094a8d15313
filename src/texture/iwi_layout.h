#pragma once

#include "texture/texture.h"
#include "texture/texture_error.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace pictavo {

// The first bytes of every IWI file; the version byte follows them.
inline constexpr std::array<std::uint8_t, 3> kIwiMagic{'I', 'W', 'i'};

inline bool StartsWithIwiMagic(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= kIwiMagic.size() &&
           std::equal(kIwiMagic.begin(), kIwiMagic.end(), bytes.begin());
}

// Marks in the usage byte of versions 5, 6, 13 and 27, and in bytes 4-7 of versions 8 and 9.
inline constexpr std::uint8_t kIwiUsageSingleLevel = 0x02;
inline constexpr std::uint8_t kIwiUsageCube = 0x04;
inline constexpr std::uint32_t kIwiFlagsCube = 0x10000;

// Whether a version keeps its marks in the usage byte after the format, rather than in a
// 32-bit field of flags before it (versions 8 and 9).
inline bool HasUsageByte(std::uint8_t version) {
    return version != 8 && version != 9;
}

// Where each version's header keeps its fields.
struct IwiHeaderLayout {
    std::size_t fieldsAt;  // the format byte; usage, width, height and depth follow
    std::size_t offsetsAt; // the offset table
    std::uint32_t offsetCount;
    std::uint64_t headerEnd;
};

// The header of a version the games write (6 also has a rare longer one, not written); null
// for any other version.
const IwiHeaderLayout* IwiHeaderOf(std::uint8_t version);

// The most header bytes any IWI layout has: version 27's.
inline constexpr std::size_t kIwiHeaderBytes = 64;

// Fills `info` from the first bytes of an IWI file (up to kIwiHeaderBytes) and the file's
// size: the header's fields, then which layout of the levels the size fits.
TextureError ReadIwiInfo(std::span<const std::uint8_t> head, std::uint64_t fileSize,
                         TextureInfo& info);

// Turns the info of cut texels read as stored (CutTexels) into that of the 4-byte texels they
// are, R, G, B, A as version 27 format 1; any other info stays as it is.
void ReadCutTexelsAsFourByte(TextureInfo& info);

} // namespace pictavo
