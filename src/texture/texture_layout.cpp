#include "texture_layout.h"

#include <algorithm>
#include <type_traits>

namespace pictavo {

TextureInfo::TextureInfo() {
    static_assert(sizeof(TextureLayout) <= sizeof layout_ &&
                      alignof(TextureLayout) <= alignof(std::uint64_t),
                  "the info's room holds the layout");
    // Copying the info copies the layout's bytes.
    static_assert(std::is_trivially_copyable_v<TextureLayout>);
    new (layout_) TextureLayout{};
}

std::uint64_t ImageOffset(const TextureInfo& info, std::uint32_t level, std::uint32_t face) {
    const TextureLayout& layout = TextureLayout::Of(info);
    if (layout.order == LevelOrder::kBlockPieces) {
        std::array<ByteRun, kMaxLevels> runs;
        return ImageRuns(info, level, face, runs) > 0 ? runs[0].offset : 0;
    }
    if (info.container == Container::kIwi) {
        return layout.levelOffsets[level] + face * info.LevelBytes(level);
    }
    // DDS: each face holds its whole chain, level 0 first.
    std::uint64_t chain = 0;
    std::uint64_t before = 0;
    for (std::uint32_t l = 0; l < info.levels; ++l) {
        if (l == level) {
            before = chain;
        }
        chain += info.LevelBytes(l);
    }
    return layout.dataOffset + face * chain + before;
}

std::uint32_t ImageRuns(const TextureInfo& info, std::uint32_t level, std::uint32_t face,
                        std::array<ByteRun, kMaxLevels>& runs) {
    const TextureLayout& layout = TextureLayout::Of(info);
    const std::uint64_t size = info.LevelBytes(level);
    if (layout.order != LevelOrder::kBlockPieces) {
        const std::uint64_t offset = ImageOffset(info, level, face);
        const bool cut =
            layout.missingBytes != 0 && offset < info.fileSize && size > info.fileSize - offset;
        runs[0] = {offset, cut ? info.fileSize - offset : size};
        return 1;
    }
    // Where the level starts in the chain the pieces hold, then the pieces it spans.
    std::uint64_t skip = 0;
    for (std::uint32_t l = 0; l < level; ++l) {
        skip += info.LevelBytes(l);
    }
    std::uint64_t wanted = size;
    std::uint32_t count = 0;
    for (std::uint32_t p = 0; p < layout.pieceCount && wanted > 0; ++p) {
        if (skip >= layout.pieces[p].size) {
            skip -= layout.pieces[p].size;
            continue;
        }
        const std::uint64_t take = std::min(wanted, layout.pieces[p].size - skip);
        runs[count++] = {layout.pieces[p].offset + skip, take};
        wanted -= take;
        skip = 0;
    }
    return count;
}

} // namespace pictavo
