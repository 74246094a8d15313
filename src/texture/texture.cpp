#include "texture/texture.h"

#include "dds_format_name.h"
#include "iwi_layout.h"
#include "texture_layout.h"

#include <cstdio>

namespace pictavo {

std::uint64_t TextureInfo::LevelBytes(std::uint32_t level) const {
    const PixelMasks& stored = TextureLayout::Of(*this).stored;
    if (stored.bits != 0) {
        // Cut texels fill three bytes a pixel however they are read.
        const std::uint32_t pixelBytes =
            cutTexels == CutTexels::kReadAsFourByte ? 3 : stored.bits / 8;
        return std::uint64_t{LevelWidth(level)} * LevelHeight(level) * pixelBytes;
    }
    const FormatInfo* info = FindFormat(format);
    return info == nullptr ? 0 : LevelSize(*info, LevelWidth(level), LevelHeight(level));
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

std::string TextureInfo::FormatText() const {
    if (cutTexels == CutTexels::kReadAsFourByte) {
        return std::string(FindFormat(kFormatBgr8)->name) + " read as 4-byte texels (" +
               FindFormat(kFormatBgra8)->name + ")";
    }
    const TextureLayout& layout = TextureLayout::Of(*this);
    if (container == Container::kDds && layout.storedLayout.bits != 0) {
        return layout.dxgiFormat != 0 ? dds::DxgiFormatName(layout.dxgiFormat)
                                      : dds::MasksName(layout.storedLayout);
    }
    const FormatInfo* info = FindFormat(format);
    return info != nullptr ? info->name : "unknown";
}

std::string TextureInfo::WarningText() const {
    return cutTexels == CutTexels::kNone
               ? std::string()
               : "The bytes are 4-byte texels cut to three quarters of their length, so the game "
                 "draws them striped; re-save the texture as format 1 (RGBA8).";
}

bool TextureInfo::HasUsageByte() const {
    return pictavo::HasUsageByte(version);
}

std::string TextureInfo::UsageText() const {
    const bool usageByte = HasUsageByte();
    const std::uint32_t bits = usageByte ? usage : flags;
    // Bytes 4-7 keep the single-level mark where the usage byte keeps it.
    const std::uint32_t singleLevel = kIwiUsageSingleLevel;
    const std::uint32_t cube = usageByte ? kIwiUsageCube : kIwiFlagsCube;
    const int digits = usageByte ? 2 : 8;
    const auto hex = [digits](std::uint32_t value) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%0*X", digits, value);
        return std::string(text);
    };
    std::string marks;
    const auto add = [&marks](const std::string& part) {
        marks += (marks.empty() ? "" : ", ") + part;
    };
    if (bits & singleLevel) {
        add("no mipmaps");
    }
    if (bits & cube) {
        add("cube map");
    }
    if (const std::uint32_t other = bits & ~(singleLevel | cube)) {
        add("other bits " + hex(other));
    }
    return hex(bits) + " (" + (marks.empty() ? "none" : marks) + ")";
}

std::string TextureInfo::LayoutText() const {
    const TextureLayout& layout = TextureLayout::Of(*this);
    std::string text;
    if (container == Container::kDds && faces == 6) {
        text = "cube map, each face's levels after the last";
    } else if (faces == 6) {
        text = "cube map, six faces back to back";
    } else if (levels == 1) {
        text = "one level";
    } else if (container == Container::kDds) {
        text = "levels largest first";
    } else if (layout.order == LevelOrder::kBlockPieces) {
        text = "levels smallest first in whole-block pieces";
    } else {
        text = layout.order == LevelOrder::kLargestFirst ? "levels largest first"
                                                         : "levels smallest first";
    }
    text += ", data at " + std::to_string(layout.dataOffset);
    if (container == Container::kIwi && layout.offsetCount == 0) {
        text += ", no offset table";
    }
    if (layout.spareBytes != 0) {
        text += ", " + std::to_string(layout.spareBytes) + " spare bytes";
    }
    if (layout.missingBytes != 0) {
        text += ", last " + std::to_string(layout.missingBytes) + " bytes missing (read as zeros)";
    }
    return text;
}

} // namespace pictavo
