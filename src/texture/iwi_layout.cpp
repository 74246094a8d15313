#include "iwi_layout.h"

#include "byte_order.h"
#include "iwi_v27_layout.h"
#include "texture_layout.h"

#include <algorithm>

namespace pictavo {

namespace {

constexpr std::uint64_t kSpareAfterChain = 4;

// Version 6 has a rare longer header with eight offsets; it is tried second. Version 5 has
// version 6's header.
constexpr IwiHeaderLayout kV6{4, 12, 4, 28};
constexpr IwiHeaderLayout kV6Long{4, 12, 8, 44};
constexpr IwiHeaderLayout kV8{8, 16, 4, 32};
constexpr IwiHeaderLayout kV13{4, 16, 8, 48};
constexpr IwiHeaderLayout kV27{4, 32, 8, 64};

// Versions 27's pixels are R, G, B(, A) where the others' are B, G, R(, A).
PixelMasks Version27Masks(int format) {
    if (format == kFormatBgra8) {
        return {32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000, false};
    }
    if (format == kFormatBgr8) {
        return {24, 0xFF, 0xFF00, 0xFF0000, 0, false};
    }
    return {};
}

bool AllOffsetsEqual(const TextureLayout& layout) {
    return std::all_of(layout.offsets.begin(), layout.offsets.begin() + 4,
                       [&](std::uint32_t o) { return o == layout.offsets[0]; });
}

// Places `count` levels after the header, from the smallest up unless the chain runs
// largest first. Spare bytes lie after the chain: the offset tables of files with four
// spare bytes point four bytes too far, and the pictures show it.
void PlaceLevels(TextureInfo& info, std::uint32_t count, std::uint64_t spare) {
    TextureLayout& layout = TextureLayout::Of(info);
    info.levels = count;
    layout.spareBytes = spare;
    const bool largestFirst =
        count > 1 && (info.version == 8 || info.version == 9) && AllOffsetsEqual(layout);
    layout.order = largestFirst ? LevelOrder::kLargestFirst : LevelOrder::kSmallestFirst;
    std::uint64_t at = layout.dataOffset;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t level = largestFirst ? i : count - 1 - i;
        layout.levelOffsets[level] = at;
        at += info.LevelBytes(level) * info.faces;
    }
}

// A level's size counting whole blocks only, sides rounded down.
std::uint64_t WholeBlockBytes(const TextureInfo& info, std::uint32_t level) {
    const FormatInfo& format = *FindFormat(info.format);
    return std::uint64_t{info.LevelWidth(level) / format.blockDimension} *
           (info.LevelHeight(level) / format.blockDimension) * format.bytesPerBlock;
}

// Version 8 and 9 files cut into whole-block pieces (see LevelOrder::kBlockPieces) are as
// long as the plain chain, and their offset table, less the spare bytes, says where the
// first pieces start: each entry a level's whole-block size below the one before, not
// always its stored size.
bool FitPieces(TextureInfo& info, std::uint64_t chainBytes, std::uint64_t spare) {
    TextureLayout& layout = TextureLayout::Of(info);
    if ((info.version != 8 && info.version != 9) || info.faces != 1 ||
        info.fileSize != layout.dataOffset + chainBytes + spare) {
        return false;
    }
    const std::uint64_t end = info.fileSize - spare;
    bool cut = false;
    for (std::uint32_t k = 0; k < 3; ++k) {
        const std::uint64_t later = std::uint64_t{layout.offsets[k]} - spare;
        const std::uint64_t earlier = std::uint64_t{layout.offsets[k + 1]} - spare;
        const std::uint64_t piece = WholeBlockBytes(info, k);
        if ((k == 0 && (later != end || piece == 0)) ||
            layout.offsets[k + 1] < spare + layout.dataOffset || later - earlier != piece) {
            return false;
        }
        cut = cut || piece != info.LevelBytes(k);
    }
    if (!cut) {
        return false;
    }
    layout.order = LevelOrder::kBlockPieces;
    layout.pieceCount = 0;
    std::uint64_t held = 0;
    for (std::uint64_t start = end; layout.pieceCount < kMaxLevels; ++layout.pieceCount) {
        const std::uint64_t piece = WholeBlockBytes(info, layout.pieceCount);
        if (piece == 0 || start - layout.dataOffset < piece) {
            break;
        }
        start -= piece;
        layout.pieces[layout.pieceCount] = {start, piece};
        held += piece;
    }
    // Only the levels the pieces hold whole are levels of the file.
    info.levels = 0;
    for (std::uint64_t chain = 0; info.levels < MaxLevelCount(info.width, info.height) &&
                                  chain + info.LevelBytes(info.levels) <= held;
         ++info.levels) {
        chain += info.LevelBytes(info.levels);
    }
    layout.spareBytes = info.fileSize - layout.dataOffset - held;
    return info.levels > 0;
}

// Tries the chains the games write against `data` bytes after this header.
bool FitLevels(TextureInfo& info, bool singleLevel, std::uint64_t data) {
    const TextureLayout& layout = TextureLayout::Of(info);
    // No cube map with mipmaps has been seen, so none is guessed at.
    const std::uint32_t most =
        singleLevel || info.faces > 1 ? 1 : MaxLevelCount(info.width, info.height);
    for (const std::uint64_t spare : {std::uint64_t{0}, kSpareAfterChain}) {
        std::uint64_t chain = 0;
        for (std::uint32_t n = 1; n <= most; ++n) {
            chain += info.LevelBytes(n - 1) * info.faces;
            if (chain + spare == data && n > 1 && FitPieces(info, chain, spare)) {
                return true;
            }
            if (chain + spare == data) {
                PlaceLevels(info, n, spare);
                return true;
            }
        }
    }
    // One level followed by bytes the offset table itself puts past its end.
    const std::uint64_t first = info.LevelBytes(0) * info.faces;
    if (first < data && layout.offsets[0] == layout.dataOffset + first &&
        info.fileSize == layout.dataOffset + data) {
        PlaceLevels(info, 1, data - first);
        return true;
    }
    return false;
}

void ReadFields(std::span<const std::uint8_t> head, const IwiHeaderLayout& variant,
                TextureInfo& info) {
    TextureLayout& layout = TextureLayout::Of(info);
    const std::uint8_t* p = head.data() + variant.fieldsAt;
    info.format = p[0];
    info.usage = p[1];
    const std::int16_t width = ReadI16LE(p + 2);
    const std::int16_t height = ReadI16LE(p + 4);
    const std::int16_t depth = ReadI16LE(p + 6);
    info.width = width > 0 ? static_cast<std::uint32_t>(width) : 0;
    info.height = height > 0 ? static_cast<std::uint32_t>(height) : 0;
    info.depth = depth > 0 ? static_cast<std::uint16_t>(depth) : 0;
    layout.offsets.fill(0);
    layout.offsetCount = variant.offsetCount;
    for (std::uint32_t k = 0; k < variant.offsetCount; ++k) {
        layout.offsets[k] = ReadU32LE(head.data() + variant.offsetsAt + 4 * k);
    }
    layout.dataOffset = variant.headerEnd;
}

} // namespace

void ReadCutTexelsAsFourByte(TextureInfo& info) {
    if (info.cutTexels != CutTexels::kReadAsStored) {
        return;
    }
    info.cutTexels = CutTexels::kReadAsFourByte;
    info.format = kFormatBgra8;
    TextureLayout::Of(info).stored = Version27Masks(kFormatBgra8);
}

const IwiHeaderLayout* IwiHeaderOf(std::uint8_t version) {
    switch (version) {
    case 5:
    case 6:
        return &kV6;
    case 8:
    case 9:
        return &kV8;
    case 13:
        return &kV13;
    case 27:
        return &kV27;
    default:
        return nullptr;
    }
}

TextureError ReadIwiInfo(std::span<const std::uint8_t> head, std::uint64_t fileSize,
                         TextureInfo& info) {
    info = TextureInfo{};
    TextureLayout& layout = TextureLayout::Of(info);
    info.container = Container::kIwi;
    info.fileSize = fileSize;
    if (!StartsWithIwiMagic(head)) {
        return TextureError::kNotATexture;
    }
    if (head.size() < 4) {
        return TextureError::kTruncated;
    }
    info.version = head[3];
    const IwiHeaderLayout* variants[2] = {IwiHeaderOf(info.version),
                                          info.version == 6 ? &kV6Long : nullptr};
    if (variants[0] == nullptr) {
        return TextureError::kIwiVersion;
    }
    if (head.size() < variants[0]->headerEnd || fileSize < variants[0]->headerEnd) {
        return TextureError::kTruncated;
    }
    if (variants[0] == &kV8) {
        info.flags = ReadU32LE(head.data() + 4);
    }
    ReadFields(head, *variants[0], info);

    if (info.format == kFormatVariable) {
        return TextureError::kVariableFormat;
    }
    if (const FormatInfo* format = FindFormat(info.format); format == nullptr || !format->inIwi) {
        return TextureError::kUnknownFormat;
    }
    if (info.width == 0 || info.height == 0) {
        return TextureError::kBadSize;
    }
    const bool usageByte = HasUsageByte(info.version);
    const bool cube =
        usageByte ? (info.usage & kIwiUsageCube) != 0 : (info.flags & kIwiFlagsCube) != 0;
    info.faces = cube ? 6 : 1;
    const bool singleLevel = usageByte && (info.usage & kIwiUsageSingleLevel) != 0;
    // Volume textures have never been seen: no layout is known for them.
    if (info.depth > 1) {
        return TextureError::kNoLayout;
    }
    info.depth = 1;
    if (info.version == 27) {
        layout.stored = Version27Masks(info.format);
        // Every format 2 file seen holds 4-byte texels cut short.
        info.cutTexels = info.format == kFormatBgr8 ? CutTexels::kReadAsStored : CutTexels::kNone;
        return PlaceVersion27Levels(info, singleLevel);
    }

    for (const IwiHeaderLayout* variant : variants) {
        if (variant == nullptr || head.size() < variant->headerEnd ||
            fileSize < variant->headerEnd) {
            continue;
        }
        ReadFields(head, *variant, info);
        info.depth = 1;
        // The table is often wrong, so the size decides; but a table that describes a
        // whole chain longer than the file says the file lost its end.
        const std::uint64_t tableEnd = layout.offsets[0];
        if (tableEnd > fileSize) {
            const TextureInfo saved = info;
            if (FitLevels(info, singleLevel, tableEnd - variant->headerEnd)) {
                info = saved;
                return TextureError::kTruncated;
            }
        }
        if (FitLevels(info, singleLevel, fileSize - variant->headerEnd)) {
            return TextureError::kNone;
        }
    }
    ReadFields(head, *variants[0], info);
    info.depth = 1;
    return fileSize - layout.dataOffset < info.LevelBytes(0) * info.faces ? TextureError::kTruncated
                                                                          : TextureError::kNoLayout;
}

} // namespace pictavo
