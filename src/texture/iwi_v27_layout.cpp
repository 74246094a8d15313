#include "iwi_v27_layout.h"

#include "texture_layout.h"

#include <algorithm>

namespace pictavo {

namespace {

// Entries of the table: entry k is where level k ends, for the eight largest levels.
constexpr std::uint32_t kTableEntries = 8;
// Some files keep the first 32 bytes of the header alone, level 0 right after them.
constexpr std::uint64_t kHeaderWithoutTable = 32;

std::uint64_t LevelRun(const TextureInfo& info, std::uint32_t level) {
    return info.LevelBytes(level) * info.faces;
}

// Levels smallest first from the header's end, level 0 ending the file.
void PlaceChain(TextureInfo& info, std::uint32_t count) {
    TextureLayout& layout = TextureLayout::Of(info);
    info.levels = count;
    std::uint64_t at = layout.dataOffset;
    for (std::uint32_t level = count; level-- > 0;) {
        layout.levelOffsets[level] = at;
        at += LevelRun(info, level);
    }
}

// The table's entries 1 to 7 end levels 1 to 7, each where the next begins; smaller levels
// lie below level 7, and level 0 starts where level 1 ends. kNoLayout when the entries
// describe no chain; kTruncated when the file is shorter than they say, or level 0 lacks
// more than the last row of its blocks.
TextureError FollowTable(TextureInfo& info, std::uint32_t count) {
    TextureLayout& layout = TextureLayout::Of(info);
    const std::uint32_t listed = std::min(count, kTableEntries);
    for (std::uint32_t level = 1; level < listed; ++level) {
        const std::uint64_t end = layout.offsets[level];
        if (end < LevelRun(info, level) ||
            (level + 1 < listed && layout.offsets[level + 1] != end - LevelRun(info, level))) {
            return TextureError::kNoLayout;
        }
        layout.levelOffsets[level] = end - LevelRun(info, level);
    }
    std::uint64_t start = layout.levelOffsets[listed - 1];
    for (std::uint32_t level = listed; level < count; ++level) {
        if (start < LevelRun(info, level)) {
            return TextureError::kNoLayout;
        }
        start -= LevelRun(info, level);
        layout.levelOffsets[level] = start;
    }
    if (start < layout.dataOffset) {
        return TextureError::kNoLayout;
    }
    layout.levelOffsets[0] = layout.offsets[1];
    const std::uint64_t end = layout.levelOffsets[0] + LevelRun(info, 0);
    if (layout.offsets[0] > info.fileSize || layout.offsets[1] > info.fileSize) {
        return TextureError::kTruncated;
    }
    if (end > info.fileSize) {
        const FormatInfo& format = *FindFormat(info.format);
        const std::uint64_t lastRow =
            std::uint64_t{BlocksAcross(format, info.width)} * format.bytesPerBlock;
        layout.missingBytes = end - info.fileSize;
        if (layout.missingBytes > lastRow) {
            return TextureError::kTruncated;
        }
    }
    info.levels = count;
    layout.dataOffset = start;
    layout.spareBytes = end < info.fileSize ? info.fileSize - end : 0;
    return TextureError::kNone;
}

} // namespace

TextureError PlaceVersion27Levels(TextureInfo& info, bool singleLevel) {
    TextureLayout& layout = TextureLayout::Of(info);
    const std::uint32_t count = singleLevel ? 1 : MaxLevelCount(info.width, info.height);
    std::uint64_t chain = 0;
    for (std::uint32_t level = 0; level < count; ++level) {
        chain += LevelRun(info, level);
    }
    if (count > 1) {
        const TextureInfo before = info;
        const TextureError followed = FollowTable(info, count);
        if (followed != TextureError::kNoLayout) {
            return followed;
        }
        info = before;
    }
    if (info.fileSize == layout.dataOffset + chain) {
        PlaceChain(info, count);
        return TextureError::kNone;
    }
    // A table that gives the size of a whole file of this texture says the file lost its end.
    const std::uint64_t tableSize = layout.offsets[0];
    if (tableSize > info.fileSize && (tableSize == layout.dataOffset + chain ||
                                      tableSize == layout.dataOffset + LevelRun(info, 0))) {
        return TextureError::kTruncated;
    }
    // What is left of a header that lost its table is level data: one level, whatever the
    // flags say.
    if (info.fileSize == kHeaderWithoutTable + LevelRun(info, 0)) {
        layout.offsets.fill(0);
        layout.offsetCount = 0;
        layout.dataOffset = kHeaderWithoutTable;
        PlaceChain(info, 1);
        return TextureError::kNone;
    }
    return info.fileSize < layout.dataOffset + chain ? TextureError::kTruncated
                                                     : TextureError::kNoLayout;
}

} // namespace pictavo
