// What a texture's info says in words: the IWI usage byte or flags, and the layout.
#include "allocation_probe.h"
#include "image_files.h"
#include "texture/texture.h"
#include "texture/texture_reader.h"
#include "texture_layout.h"

#include <gtest/gtest.h>

namespace {

using pictavo::TextureInfo;

TEST(TextureInfo, UsageByteAndFlagsAreSpelledOut) {
    struct Case {
        std::uint8_t version;
        std::uint8_t usage;
        std::uint32_t flags;
        const char* text;
    };
    const Case cases[] = {
        {6, 0x00, 0, "0x00 (none)"},
        {5, 0x02, 0, "0x02 (no mipmaps)"},
        {5, 0x03, 0, "0x03 (no mipmaps, other bits 0x01)"},
        {27, 0x04, 0, "0x04 (cube map)"},
        {13, 0x06, 0, "0x06 (no mipmaps, cube map)"},
        {6, 0xC2, 0, "0xC2 (no mipmaps, other bits 0xC0)"},
        {27, 0x10, 0x10000, "0x10 (other bits 0x10)"}, // versions with a usage byte keep no flags
        {8, 0x06, 0, "0x00000000 (none)"},             // versions 8 and 9 read their flags only
        {8, 0, 0x10372, "0x00010372 (no mipmaps, cube map, other bits 0x00000370)"},
        {9, 0, 0x10000, "0x00010000 (cube map)"},
    };
    for (const Case& c : cases) {
        TextureInfo info;
        info.version = c.version;
        info.usage = c.usage;
        info.flags = c.flags;
        EXPECT_EQ(info.UsageText(), c.text) << int(c.version) << " " << int(c.usage);
        EXPECT_EQ(info.HasUsageByte(), c.version != 8 && c.version != 9);
    }
}

TEST(TextureInfo, LayoutTellsWhatIsMissingOrLeftOver) {
    TextureInfo info;
    info.format = pictavo::kFormatDxt5;
    info.width = info.height = 64;
    info.levels = 7;
    pictavo::TextureLayout& layout = pictavo::TextureLayout::Of(info);
    layout.dataOffset = 80;
    layout.offsetCount = 8;
    layout.missingBytes = 16;
    EXPECT_EQ(info.LayoutText(),
              "levels smallest first, data at 80, last 16 bytes missing (read as zeros)");
    info.levels = 1;
    layout.dataOffset = 32;
    layout.offsetCount = 0;
    layout.missingBytes = 0;
    layout.spareBytes = 4;
    EXPECT_EQ(info.LayoutText(), "one level, data at 32, no offset table, 4 spare bytes");
}

// The layout travels inside the info: a header is read without a single allocation, and a
// copy reads the same levels from the same places.
TEST(TextureInfo, ReadingAHeaderAllocatesNothingAndACopyKeepsTheLayout) {
    using pictavo::testing::MakeIwi;
    const pictavo::Bytes files[] = {
        MakeIwi({8, pictavo::kFormatDxt1, 64, 32, 7}),
        MakeIwi({27, pictavo::kFormatBgra8, 8, 4, 4}),
        pictavo::testing::MakeDds(
            {pictavo::testing::FourCCOf("DXT5"), pictavo::kFormatDxt5, 16, 8, 3}),
        pictavo::testing::MakeA8B8G8R8Dds(2, 1, pictavo::Bytes(8, 0x80)),
    };
    for (const pictavo::Bytes& file : files) {
        pictavo::SpanSource source(file);
        TextureInfo info;
        pictavo::testing::ResetLargestAllocation();
        ASSERT_EQ(pictavo::ReadTextureInfo(source, info), pictavo::TextureError::kNone);
        EXPECT_EQ(pictavo::testing::LargestAllocation(), 0u) << info.ContainerText();

        TextureInfo copy;
        copy = info;
        EXPECT_EQ(copy.LayoutText(), info.LayoutText());
        for (std::uint32_t level = 0; level < info.levels; ++level) {
            pictavo::Bytes fromInfo;
            pictavo::Bytes fromCopy;
            ASSERT_EQ(pictavo::ReadImage(source, info, level, 0, fromInfo),
                      pictavo::TextureError::kNone);
            ASSERT_EQ(pictavo::ReadImage(source, copy, level, 0, fromCopy),
                      pictavo::TextureError::kNone);
            EXPECT_EQ(fromCopy, fromInfo) << info.ContainerText() << " level " << level;
        }
    }
}

} // namespace
