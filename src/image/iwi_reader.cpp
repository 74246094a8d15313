#include "binary_file.h"
#include "block_flip.h"
#include "byte_order.h"
#include "iwi.h"

#include <cstring>
#include <utility>

namespace {

constexpr std::uint64_t kHeaderEndV6 = 28;
constexpr std::uint64_t kHeaderEndV8 = 32;
constexpr std::uint64_t kHeaderEndV13 = 48;
// The walk from the end of the file stops here even if it never lands on the header end.
constexpr std::size_t kMaxLevels = 16;

// Reads the header bytes of one layout; false when the file is too short to hold them.
bool ReadHeaderBytes(pictavo::InputFile& file, std::uint8_t* header, std::uint64_t headerEnd) {
    return file.ReadAt(0, header, headerEnd) == headerEnd;
}

} // namespace

int IWI::ReadIWI() {
    keepsStoredLevels = true;
    pictavo::InputFile file;
    const int opened = file.Open(filePath);
    if (opened != IWI_OK) {
        return opened;
    }
    std::uint8_t start[4] = {};
    const std::size_t got = file.ReadAt(0, start, sizeof start);
    if (got < 3 || std::memcmp(start, "IWi", 3) != 0) {
        return IWI_ERR_MAGIC;
    }
    const std::uint8_t version = got == 4 ? start[3] : 0;
    switch (version) {
    case 6:
    case 13:
        return ReadIWIv6(file, version);
    case 8:
        return ReadIWIv8(file);
    default:
        return IWI_ERR_VERSION;
    }
}

int IWI::ReadIWIv6(pictavo::InputFile& file, std::uint8_t version) {
    // Version 13 keeps the version 6 fields but has eight offsets at 16, so its data starts at 48.
    const std::uint64_t headerEnd = version == 13 ? kHeaderEndV13 : kHeaderEndV6;
    std::uint8_t header[kHeaderEndV13];
    if (!ReadHeaderBytes(file, header, headerEnd)) {
        return IWI_ERR_TRUNCATED;
    }
    IWIHeader.version = version;
    IWIHeader.format = header[4];
    IWIHeader.usage = header[5];
    IWIHeader.width = pictavo::ReadI16LE(header + 6);
    IWIHeader.height = pictavo::ReadI16LE(header + 8);
    IWIHeader.depth = pictavo::ReadI16LE(header + 10);
    const std::size_t offsetsAt = version == 13 ? 16 : 12;
    for (std::size_t k = 0; k < IWIHeader.offsets.size(); ++k) {
        IWIHeader.offsets[k] = pictavo::ReadU32LE(header + offsetsAt + 4 * k);
    }
    return ReadLevelChain(file, headerEnd);
}

int IWI::ReadIWIv8(pictavo::InputFile& file) {
    std::uint8_t header[kHeaderEndV8];
    if (!ReadHeaderBytes(file, header, kHeaderEndV8)) {
        return IWI_ERR_TRUNCATED;
    }
    IWIHeader.version = 8;
    IWIHeader.format = header[8];
    IWIHeader.usage = header[9];
    IWIHeader.width = pictavo::ReadI16LE(header + 10);
    IWIHeader.height = pictavo::ReadI16LE(header + 12);
    IWIHeader.depth = pictavo::ReadI16LE(header + 14);
    for (std::size_t k = 0; k < IWIHeader.offsets.size(); ++k) {
        IWIHeader.offsets[k] = pictavo::ReadU32LE(header + 16 + 4 * k);
    }
    return ReadLevelChain(file, kHeaderEndV8);
}

int IWI::ReadLevelChain(pictavo::InputFile& file, std::uint64_t headerEnd) {
    const FormatInfo* info = FindFormatInfo(IWIHeader.format);
    if (info == nullptr) {
        return IWI_ERR_IMAGE_FORMAT;
    }
    width = IWIHeader.width;
    height = IWIHeader.height;
    if (width <= 0 || height <= 0) {
        return IWI_ERR_BAD_SIZE;
    }
    // The first offset is where the last level ends: the file size in every file the games
    // and this program write. A file shorter than that lost its end, where level 0 lives.
    const std::uint64_t fileSize = file.Size();
    if (IWIHeader.offsets[0] > fileSize) {
        return IWI_ERR_TRUNCATED;
    }

    std::uint32_t w = static_cast<std::uint32_t>(width);
    std::uint32_t h = static_cast<std::uint32_t>(height);
    std::uint64_t size = LevelSize(*info, w, h);
    if (fileSize - headerEnd < size) {
        return IWI_ERR_TRUNCATED;
    }

    levels.clear();
    storedLevels.clear();
    std::uint64_t position = fileSize - size;
    for (;;) {
        LevelBuffer buffer(size);
        if (file.ReadAt(position, buffer.data(), size) != size) {
            levels.clear();
            storedLevels.clear();
            return IWI_ERR_POSITION;
        }
        PrepareLevel(w, h, size, *info, buffer);
        levels.push_back(std::move(buffer));
        if (position == headerEnd || levels.size() == kMaxLevels) {
            break;
        }
        w = NextLevelSide(w);
        h = NextLevelSide(h);
        size = LevelSize(*info, w, h);
        // Never take header bytes for pixels: stop where the next level would start too early.
        if (position - headerEnd < size) {
            break;
        }
        position -= size;
    }
    levelCount = static_cast<std::int16_t>(levels.size());
    loaded = true;
    return IWI_OK;
}

void IWI::PrepareLevel(std::uint32_t levelWidth, std::uint32_t levelHeight, std::uint64_t size,
                       const FormatInfo& info, LevelBuffer& buffer) {
    storedLevels.push_back(buffer);
    if (info.compressed) {
        FlipLevelVertically(info, levelWidth, levelHeight, buffer.data(),
                            static_cast<std::size_t>(size));
    } else {
        SwapRedAndBlue(buffer.data(), buffer.size(), info.bytesPerBlock);
    }
}
