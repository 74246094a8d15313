#include "texture/texture_writer.h"

#include "byte_order.h"
#include "dds_header.h"
#include "iwi_layout.h"
#include "texture/level_flip.h"
#include "texture/output_file.h"

#include <array>

namespace pictavo {

namespace {

// Header bits we do not interpret, as most real files of each kind hold them: bytes 4-7 of
// version 8, and the usage byte of version 5's single-level files.
constexpr std::uint32_t kV8FlagsMipmapped = 0x140;
constexpr std::uint32_t kV8FlagsSingleLevel = 0x173;
constexpr std::uint8_t kV5UsageSingleLevel = 0x03;

bool ImagesFit(const TextureInfo& info, std::span<const Bytes> images) {
    if (images.size() != static_cast<std::size_t>(info.faces) * info.levels || info.levels == 0) {
        return false;
    }
    for (std::uint32_t face = 0; face < info.faces; ++face) {
        for (std::uint32_t level = 0; level < info.levels; ++level) {
            if (images[face * info.levels + level].size() != info.LevelBytes(level)) {
                return false;
            }
        }
    }
    return true;
}

// The usage byte: the marks of one level and of a cube map, with the other bits of the
// source's kept by versions 6 and 13.
std::uint8_t Usage(const TextureInfo& info, std::uint8_t version) {
    const std::uint8_t marks = static_cast<std::uint8_t>(
        (info.levels == 1 ? kIwiUsageSingleLevel : 0) | (info.faces > 1 ? kIwiUsageCube : 0));
    if (version == 5) {
        return info.levels == 1 ? kV5UsageSingleLevel | marks : marks;
    }
    return version == 27 ? marks : info.usage | marks;
}

// The header of an IWI file of `version` laid out as the games' own files of that version:
// the levels smallest first with level 0 ending the file, entry k of the offset table where
// level k ends. Entries past the last level repeat its end, or in version 27 are 0.
std::array<std::uint8_t, kIwiHeaderBytes> IwiHeader(const TextureInfo& info, std::uint8_t version,
                                                    const IwiHeaderLayout& layout) {
    std::array<std::uint8_t, kIwiHeaderBytes> header{};
    std::copy(kIwiMagic.begin(), kIwiMagic.end(), header.begin());
    header[kIwiMagic.size()] = version;
    std::uint8_t* fields = header.data() + layout.fieldsAt;
    fields[0] = info.format;
    if (HasUsageByte(version)) {
        fields[1] = Usage(info, version);
    } else {
        const std::uint32_t flags = info.levels > 1 ? kV8FlagsMipmapped : kV8FlagsSingleLevel;
        WriteU32LE(header.data() + 4, info.faces > 1 ? flags | kIwiFlagsCube : flags);
        fields[1] = info.usage;
    }
    WriteU16LE(fields + 2, static_cast<std::uint16_t>(info.width));
    WriteU16LE(fields + 4, static_cast<std::uint16_t>(info.height));
    WriteU16LE(fields + 6, 1);
    std::uint64_t end = layout.headerEnd + info.DataBytes();
    for (std::uint32_t k = 0; k < layout.offsetCount; ++k) {
        const bool pastLast = k >= info.levels;
        WriteU32LE(header.data() + layout.offsetsAt + 4 * k,
                   static_cast<std::uint32_t>(version == 27 && pastLast ? 0 : end));
        if (k + 1 < info.levels) {
            end -= info.LevelBytes(k) * info.faces;
        }
    }
    return header;
}

TextureError Finish(OutputFile& out, TextureError opened, IfExists ifExists) {
    return opened != TextureError::kNone ? opened : out.Commit(ifExists);
}

} // namespace

DdsHeaderBytes DdsHeader(const TextureInfo& info) {
    return dds::Make(info.format, info.width, info.height, info.levels, info.faces);
}

TextureError WriteDds(const TextureInfo& info, std::span<const Bytes> images,
                      const std::string& path, IfExists ifExists) {
    if (!ImagesFit(info, images)) {
        return TextureError::kNotWritable;
    }
    OutputFile out;
    const TextureError opened = out.Open(path);
    if (opened == TextureError::kNone) {
        const DdsHeaderBytes header = DdsHeader(info);
        out.Write(header.data(), header.size());
        if (dds::NeedsExtendedHeader(info.format)) {
            const dds::ExtendedHeaderBytes extended = dds::MakeExtended(info.format, info.faces);
            out.Write(extended.data(), extended.size());
        }
        for (const Bytes& image : images) {
            out.Write(image.data(), image.size());
        }
    }
    return Finish(out, opened, ifExists);
}

TextureError WriteIwi(const TextureInfo& info, std::span<const Bytes> images, std::uint8_t version,
                      const std::string& path, IfExists ifExists) {
    const FormatInfo* format = FindFormat(info.format);
    if (format != nullptr && !format->inIwi) {
        return TextureError::kNoIwiFormat;
    }
    const IwiHeaderLayout* layout = version == 9 ? nullptr : IwiHeaderOf(version);
    // Only version 27 is known to keep the mipmaps of cube maps.
    if (layout == nullptr || !ImagesFit(info, images) || info.width > kMaxSide ||
        info.height > kMaxSide || (info.faces > 1 && info.levels > 1 && version != 27)) {
        return TextureError::kNotWritable;
    }
    const std::array<std::uint8_t, kIwiHeaderBytes> header = IwiHeader(info, version, *layout);
    // Version 27 stores R, G, B(, A) where the texture holds B, G, R(, A).
    const bool swapRedAndBlue =
        version == 27 && (info.format == kFormatBgra8 || info.format == kFormatBgr8);
    OutputFile out;
    const TextureError opened = out.Open(path);
    if (opened == TextureError::kNone) {
        out.Write(header.data(), layout->headerEnd);
        Bytes swapped;
        for (std::uint32_t level = info.levels; level-- > 0;) {
            for (std::uint32_t face = 0; face < info.faces; ++face) {
                const Bytes* image = &images[face * info.levels + level];
                if (swapRedAndBlue) {
                    swapped = *image;
                    SwapRedAndBlue(swapped.data(), swapped.size(), format->bytesPerBlock);
                    image = &swapped;
                }
                out.Write(image->data(), image->size());
            }
        }
    }
    return Finish(out, opened, ifExists);
}

TextureError WriteFileReplacing(const std::string& path, std::span<const std::uint8_t> bytes,
                                IfExists ifExists) {
    OutputFile out;
    const TextureError opened = out.Open(path);
    if (opened == TextureError::kNone) {
        out.Write(bytes.data(), bytes.size());
    }
    return Finish(out, opened, ifExists);
}

} // namespace pictavo
