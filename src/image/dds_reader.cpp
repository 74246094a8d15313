#include "binary_file.h"
#include "iwi.h"

#include <vector>

namespace {

constexpr std::uint32_t kMaxSide = 32767;

} // namespace

int IWI::ReadDDS() {
    using namespace pictavo::dds;
    keepsStoredLevels = false;
    pictavo::InputFile file;
    const int opened = file.Open(filePath);
    if (opened != IWI_OK) {
        return opened;
    }
    DDSHeader.fill(0);
    const std::size_t got = file.ReadAt(0, DDSHeader.data(), DDSHeader.size());
    if (got < 4 || Get(DDSHeader, kMagic) != kMagicValue) {
        return IWI_ERR_DDS_HEADER;
    }
    if (got < DDSHeader.size()) {
        return IWI_ERR_TRUNCATED;
    }
    const std::uint32_t flags = Get(DDSHeader, kFlags);
    if (Get(DDSHeader, kSize) != kHeaderSize || (flags & kFlagPixelFormat) == 0 ||
        (flags & kFlagCaps) == 0) {
        return IWI_ERR_DDS_HEADER;
    }
    const std::uint32_t w = Get(DDSHeader, kWidth);
    const std::uint32_t h = Get(DDSHeader, kHeight);
    width = static_cast<std::int16_t>(w);
    height = static_cast<std::int16_t>(h);

    if ((Get(DDSHeader, kPixelFormatFlags) & kPixelFourCC) == 0) {
        return IWI_ERR_FORMAT;
    }
    const int format = FormatForFourCC(Get(DDSHeader, kFourCC));
    if (format == 0) {
        return IWI_ERR_FORMAT;
    }
    IWIHeader.format = static_cast<std::uint8_t>(format);
    const std::uint32_t count = (flags & kFlagMipMapCount) != 0 ? Get(DDSHeader, kMipMapCount) : 1;
    const FormatInfo& info = *FindFormatInfo(format);
    if (!info.compressed) {
        return IWI_ERR_NOT_COMPRESSED;
    }
    if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide || count > MaxLevelCount(w, h)) {
        return IWI_ERR_BAD_SIZE;
    }

    // Sizes first, so that a lying header cannot make us allocate what the file lacks.
    std::vector<std::uint64_t> sizes;
    std::uint64_t total = 0;
    for (std::uint32_t i = 0, lw = w, lh = h; i < count; ++i) {
        sizes.push_back(LevelSize(info, lw, lh));
        total += sizes.back();
        lw = NextDDSLevelSide(lw);
        lh = NextDDSLevelSide(lh);
    }
    if (file.Size() - DDSHeader.size() < total) {
        return IWI_ERR_TRUNCATED;
    }

    levelCount = static_cast<std::int16_t>(count);
    levels.clear();
    std::uint64_t position = DDSHeader.size();
    for (const std::uint64_t size : sizes) {
        LevelBuffer& level = levels.emplace_back(size);
        if (file.ReadAt(position, level.data(), size) != size) {
            levels.clear();
            return IWI_ERR_POSITION;
        }
        position += size;
    }
    loaded = true;
    return IWI_OK;
}
