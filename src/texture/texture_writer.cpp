#include "texture_writer.h"

#include "byte_order.h"
#include "dds_header.h"
#include "iwi_layout.h"
#include "output_file.h"

#include <array>

namespace pictavo {

namespace {

// Bytes 4-7 of version 8: the values most real files of each kind hold.
constexpr std::uint32_t kV8FlagsMipmapped = 0x140;
constexpr std::uint32_t kV8FlagsSingleLevel = 0x173;

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

TextureError Finish(OutputFile& out, TextureError opened, IfExists ifExists = IfExists::kReplace) {
    return opened != TextureError::kNone ? opened : out.Commit(ifExists);
}

} // namespace

TextureError WriteDds(const TextureInfo& info, std::span<const Bytes> images,
                      const std::string& path, IfExists ifExists) {
    if (!ImagesFit(info, images)) {
        return TextureError::kNotWritable;
    }
    OutputFile out;
    const TextureError opened = out.Open(path);
    if (opened == TextureError::kNone) {
        const DDSHeaderBytes header =
            dds::Make(info.format, info.width, info.height, info.levels, info.faces);
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
    if (!ImagesFit(info, images) || info.width > kMaxSide || info.height > kMaxSide ||
        (info.faces > 1 && info.levels > 1) || (version != 6 && version != 8 && version != 13)) {
        return TextureError::kNotWritable;
    }
    const std::size_t headerEnd = version == 6 ? 28 : version == 8 ? 32 : 48;
    const std::size_t fieldsAt = version == 8 ? 8 : 4;
    const std::size_t offsetsAt = version == 6 ? 12 : 16;
    const std::size_t offsetCount = version == 13 ? 8 : 4;

    std::array<std::uint8_t, 48> header{'I', 'W', 'i', version};
    std::uint8_t usage = info.usage;
    if (version == 8) {
        std::uint32_t flags = info.levels > 1 ? kV8FlagsMipmapped : kV8FlagsSingleLevel;
        WriteU32LE(header.data() + 4, info.faces > 1 ? flags | kIwiFlagsCube : flags);
    } else {
        usage |= info.levels == 1 ? kIwiUsageSingleLevel : 0;
        usage |= info.faces > 1 ? kIwiUsageCube : 0;
    }
    std::uint8_t* fields = header.data() + fieldsAt;
    fields[0] = info.format;
    fields[1] = usage;
    WriteU16LE(fields + 2, static_cast<std::uint16_t>(info.width));
    WriteU16LE(fields + 4, static_cast<std::uint16_t>(info.height));
    WriteU16LE(fields + 6, 1);
    // Entry k is where level k ends; entries past the last level repeat its end.
    std::uint64_t end = headerEnd + info.DataBytes();
    for (std::size_t k = 0; k < offsetCount; ++k) {
        WriteU32LE(header.data() + offsetsAt + 4 * k, static_cast<std::uint32_t>(end));
        if (k + 1 < info.levels) {
            end -= info.LevelBytes(static_cast<std::uint32_t>(k)) * info.faces;
        }
    }

    OutputFile out;
    const TextureError opened = out.Open(path);
    if (opened == TextureError::kNone) {
        out.Write(header.data(), headerEnd);
        for (std::uint32_t level = info.levels; level-- > 0;) {
            for (std::uint32_t face = 0; face < info.faces; ++face) {
                const Bytes& image = images[face * info.levels + level];
                out.Write(image.data(), image.size());
            }
        }
    }
    return Finish(out, opened, ifExists);
}

TextureError WriteFileReplacing(const std::string& path, std::span<const std::uint8_t> bytes) {
    OutputFile out;
    const TextureError opened = out.Open(path);
    if (opened == TextureError::kNone) {
        out.Write(bytes.data(), bytes.size());
    }
    return Finish(out, opened);
}

} // namespace pictavo
