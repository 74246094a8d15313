#include "texture/texture_reader.h"

#include "dds_format_name.h"
#include "dds_reader.h"
#include "iwi_layout.h"
#include "texture_layout.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace pictavo {

namespace {

constexpr std::size_t kHeadBytes = std::max(kIwiHeaderBytes, kDdsHeaderBytes);

} // namespace

std::optional<Container> ContainerOf(std::span<const std::uint8_t> firstBytes) {
    if (StartsWithIwiMagic(firstBytes)) {
        return Container::kIwi;
    }
    if (firstBytes.size() >= 4 && std::memcmp(firstBytes.data(), "DDS ", 4) == 0) {
        return Container::kDds;
    }
    return std::nullopt;
}

TextureError ReadTextureInfo(ByteSource& source, TextureInfo& info) {
    std::array<std::uint8_t, kHeadBytes> head{};
    const std::size_t got = source.ReadAt(0, head.data(), head.size());
    const std::span<const std::uint8_t> bytes(head.data(), got);
    const std::optional<Container> container = ContainerOf(bytes);
    if (!container) {
        return TextureError::kNotATexture;
    }
    return *container == Container::kIwi ? ReadIwiInfo(bytes, source.Size(), info)
                                         : ReadDdsInfo(bytes, source.Size(), info);
}

TextureError ReadTextureInfo(const std::string& path, TextureInfo& info) {
    FileSource file;
    const TextureError opened = file.Open(path);
    return opened != TextureError::kNone ? opened : ReadTextureInfo(file, info);
}

std::string FailureText(TextureError error, const TextureInfo& info) {
    const std::string text = ErrorText(error);
    if (error != TextureError::kDdsFormat || info.container != Container::kDds ||
        info.format != 0) {
        return text;
    }
    const TextureLayout& header = TextureLayout::Of(info);
    if (header.fourCC == dds::FourCC('D', 'X', '1', '0')) {
        return text + ": " + dds::DxgiFormatName(header.dxgiFormat);
    }
    if (header.fourCC != 0) {
        return text + ": " + dds::FourCCName(header.fourCC);
    }
    const PixelMasks& masks = header.stored;
    if (masks.bits == 0) {
        return text + ": the header names no FourCC and no channel masks";
    }
    char layout[96];
    std::snprintf(layout, sizeof layout, "%u-bit pixels, masks R %08X G %08X B %08X A %08X",
                  masks.bits, masks.red, masks.green, masks.blue, masks.alpha);
    return text + ": " + layout;
}

TextureError ReadImage(ByteSource& source, const TextureInfo& info, std::uint32_t level,
                       std::uint32_t face, Bytes& image) {
    const TextureLayout& layout = TextureLayout::Of(info);
    Bytes packed;
    Bytes& stored = layout.stored.bits == 0 ? image : packed;
    stored.resize(info.LevelBytes(level));
    std::array<ByteRun, kMaxLevels> runs;
    const std::uint32_t count = ImageRuns(info, level, face, runs);
    std::uint64_t at = 0;
    for (std::uint32_t r = 0; r < count; ++r) {
        if (at + runs[r].size > stored.size() ||
            source.ReadAt(runs[r].offset, stored.data() + at, runs[r].size) != runs[r].size) {
            return TextureError::kTruncated;
        }
        at += runs[r].size;
    }
    // Only the image the file ends with may lack bytes, as many as the info says.
    if (at + layout.missingBytes < stored.size()) {
        return TextureError::kTruncated;
    }
    std::fill(stored.begin() + static_cast<std::ptrdiff_t>(at), stored.end(), 0);
    if (layout.stored.bits != 0) {
        const FormatInfo* format = FindFormat(info.format);
        // Cut texels give as many whole texels as their bytes hold; the rest stay zero, clear.
        const std::uint64_t pixels =
            info.cutTexels == CutTexels::kReadAsFourByte
                ? packed.size() / (layout.stored.bits / 8)
                : std::uint64_t{info.LevelWidth(level)} * info.LevelHeight(level);
        image.assign(LevelSize(*format, info.LevelWidth(level), info.LevelHeight(level)), 0);
        UnpackPixels(layout.stored, packed.data(), static_cast<std::size_t>(pixels), image.data());
    }
    return TextureError::kNone;
}

TextureError ReadTexture(ByteSource& source, Texture& texture, const ReadOptions& options) {
    texture.images.clear();
    const TextureError error = ReadTextureInfo(source, texture.info);
    if (error != TextureError::kNone) {
        return error;
    }
    if (options.fourByteTexels) {
        ReadCutTexelsAsFourByte(texture.info);
    }
    // The info has checked every level against the source's size before this allocates.
    const TextureInfo& info = texture.info;
    texture.images.resize(static_cast<std::size_t>(info.faces) * info.levels);
    // In the order they lie in the source, so that a file is read front to back.
    struct Place {
        std::uint64_t offset;
        std::uint32_t level;
        std::uint32_t face;
    };
    std::vector<Place> places;
    places.reserve(texture.images.size());
    for (std::uint32_t face = 0; face < info.faces; ++face) {
        for (std::uint32_t level = 0; level < info.levels; ++level) {
            places.push_back({ImageOffset(info, level, face), level, face});
        }
    }
    std::sort(places.begin(), places.end(),
              [](const Place& a, const Place& b) { return a.offset < b.offset; });
    for (const Place& place : places) {
        if (ReadImage(source, info, place.level, place.face,
                      texture.Image(place.level, place.face)) != TextureError::kNone) {
            texture.images.clear();
            return TextureError::kTruncated;
        }
    }
    // The levels now hold the format's own bytes.
    TextureLayout::Of(texture.info).stored = {};
    return TextureError::kNone;
}

TextureError ReadTexture(std::span<const std::uint8_t> bytes, Texture& texture,
                         const ReadOptions& options) {
    SpanSource source(bytes);
    return ReadTexture(source, texture, options);
}

TextureError ReadTexture(const std::string& path, Texture& texture, const ReadOptions& options) {
    FileSource file;
    const TextureError opened = file.Open(path);
    return opened != TextureError::kNone ? opened : ReadTexture(file, texture, options);
}

} // namespace pictavo
