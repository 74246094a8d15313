#include "texture.h"

namespace pictavo {

std::uint64_t TextureInfo::LevelBytes(std::uint32_t level) const {
    if (stored.bits != 0) {
        return std::uint64_t{LevelWidth(level)} * LevelHeight(level) * (stored.bits / 8);
    }
    const FormatInfo* info = FindFormat(format);
    return info == nullptr ? 0 : LevelSize(*info, LevelWidth(level), LevelHeight(level));
}

std::uint64_t TextureInfo::ImageOffset(std::uint32_t level, std::uint32_t face) const {
    if (container == Container::kIwi) {
        return levelOffsets[level] + face * LevelBytes(level);
    }
    // DDS: each face holds its whole chain, level 0 first.
    std::uint64_t chain = 0;
    std::uint64_t before = 0;
    for (std::uint32_t l = 0; l < levels; ++l) {
        if (l == level) {
            before = chain;
        }
        chain += LevelBytes(l);
    }
    return dataOffset + face * chain + before;
}

std::uint64_t TextureInfo::DataBytes() const {
    std::uint64_t total = 0;
    for (std::uint32_t l = 0; l < levels; ++l) {
        total += LevelBytes(l);
    }
    return total * faces;
}

std::string TextureInfo::ContainerText() const {
    return container == Container::kDds ? std::string("DDS") : "IWI v" + std::to_string(version);
}

std::string TextureInfo::LayoutText() const {
    std::string text;
    if (container == Container::kDds && faces == 6) {
        text = "cube map, each face's levels after the last";
    } else if (faces == 6) {
        text = "cube map, six faces back to back";
    } else if (levels == 1) {
        text = "one level";
    } else if (container == Container::kDds) {
        text = "levels largest first";
    } else {
        text =
            order == LevelOrder::kLargestFirst ? "levels largest first" : "levels smallest first";
    }
    text += ", data at " + std::to_string(dataOffset);
    if (spareBytes != 0) {
        text += ", " + std::to_string(spareBytes) + " spare bytes";
    }
    return text;
}

} // namespace pictavo
