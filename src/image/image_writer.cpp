#include "binary_file.h"
#include "byte_order.h"
#include "file_path.h"
#include "iwi.h"

namespace {

constexpr std::uint32_t kWrittenHeaderEnd = 28;

} // namespace

const std::vector<LevelBuffer>& IWI::LevelSource() const {
    // Export writes the bytes as the source file stored them, never the copies made for OpenGL.
    return keepsStoredLevels ? storedLevels : levels;
}

std::string IWI::GetOutputName() const {
    const std::size_t dot = filePath.rfind('.');
    const std::size_t separator = pictavo::LastSeparator(filePath);
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) {
        return std::string();
    }
    return filePath.substr(0, dot + 1) + (isDDS ? "iwi" : "dds");
}

int IWI::WriteConvertedFile() {
    if (!loaded) {
        return IWI_ERR_NOT_LOADED;
    }
    return isDDS ? WriteIWI() : WriteDDS();
}

int IWI::WriteDDS() {
    pictavo::OutputFile out;
    const int opened = out.Open(GetOutputName());
    if (opened != IWI_OK) {
        return opened;
    }
    if (IWIHeader.format == IWI_FMT_RGBA8 || IWIHeader.format == IWI_FMT_RGB) {
        levelCount = 1; // a DDS of these formats carries level 0 only
    }
    const std::vector<LevelBuffer>& source = LevelSource();
    const std::size_t count = levelCount > 0 ? static_cast<std::size_t>(levelCount) : 0;
    if (levels.size() < count || source.size() < count) {
        return IWI_ERR_LEVELS;
    }
    DDSHeader =
        pictavo::dds::Make(IWIHeader.format, static_cast<std::uint16_t>(width),
                           static_cast<std::uint16_t>(height), static_cast<std::uint32_t>(count));
    out.Write(DDSHeader.data(), DDSHeader.size());
    for (std::size_t i = 0; i < count; ++i) {
        out.Write(source[i].data(), source[i].size());
    }
    return out.Commit();
}

int IWI::WriteIWI() {
    pictavo::OutputFile out;
    const int opened = out.Open(GetOutputName());
    if (opened != IWI_OK) {
        return opened;
    }
    const std::vector<LevelBuffer>& source = LevelSource();
    // A file without levels could not be read back.
    if (levelCount < 1 || source.size() < static_cast<std::size_t>(levelCount)) {
        return IWI_ERR_LEVELS;
    }
    const std::size_t count = static_cast<std::size_t>(levelCount);

    const int format =
        pictavo::dds::FormatForFourCC(pictavo::dds::Get(DDSHeader, pictavo::dds::kFourCC));
    IWIHeader = IWIFileHeader{};
    IWIHeader.version = 6;
    IWIHeader.format = static_cast<std::uint8_t>(format != 0 ? format : IWI_FMT_DXT1);
    IWIHeader.width = width;
    IWIHeader.height = height;
    IWIHeader.depth = 1;
    if (count == 1) {
        IWIHeader.offsets.fill(kWrittenHeaderEnd);
    } else {
        // Entry k is where level k ends; entries past the last level repeat its end.
        std::uint64_t end = kWrittenHeaderEnd;
        for (const LevelBuffer& level : source) {
            end += level.size();
        }
        for (std::size_t k = 0; k < IWIHeader.offsets.size(); ++k) {
            IWIHeader.offsets[k] = static_cast<std::uint32_t>(end);
            if (k + 1 < count) {
                end -= source[k].size();
            }
        }
    }

    std::uint8_t header[kWrittenHeaderEnd] = {'I', 'W', 'i', 6};
    header[4] = IWIHeader.format;
    header[5] = IWIHeader.usage;
    pictavo::WriteU16LE(header + 6, static_cast<std::uint16_t>(IWIHeader.width));
    pictavo::WriteU16LE(header + 8, static_cast<std::uint16_t>(IWIHeader.height));
    pictavo::WriteU16LE(header + 10, static_cast<std::uint16_t>(IWIHeader.depth));
    for (std::size_t k = 0; k < IWIHeader.offsets.size(); ++k) {
        pictavo::WriteU32LE(header + 12 + 4 * k, IWIHeader.offsets[k]);
    }
    out.Write(header, sizeof header);
    for (std::size_t i = count; i-- > 0;) {
        out.Write(source[i].data(), source[i].size());
    }
    return out.Commit();
}
