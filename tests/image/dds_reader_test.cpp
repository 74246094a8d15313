#include "image/iwi.h"
#include "image_files.h"
#include "load_helpers.h"

#include <gtest/gtest.h>

namespace {

using pictavo::testing::Bytes;
using pictavo::testing::DdsLevels;
using pictavo::testing::DdsParams;
using pictavo::testing::FourCCOf;
using pictavo::testing::LoadBytes;
using pictavo::testing::MakeDds;
using pictavo::testing::PutU32;
using pictavo::testing::TempDir;

DdsParams Dxt5(std::uint32_t width, std::uint32_t height, std::uint32_t levels, bool flag) {
    return DdsParams{FourCCOf("DXT5"), 13, width, height, levels, flag};
}

TEST(DdsReader, MipMapCountCountsOnlyWithItsFlag) {
    TempDir dir;
    IWI withoutFlag;
    Bytes file = MakeDds(Dxt5(256, 256, 9, false));
    ASSERT_EQ(LoadBytes(withoutFlag, dir, "a.dds", file), IWI_OK);
    EXPECT_EQ(withoutFlag.levelCount, 1);
    ASSERT_EQ(withoutFlag.levels.size(), 1u);
    EXPECT_EQ(withoutFlag.levels[0].size(), 65536u);

    IWI withFlag;
    ASSERT_EQ(LoadBytes(withFlag, dir, "b.dds", MakeDds(Dxt5(256, 256, 9, true))), IWI_OK);
    const std::size_t sizes[] = {65536, 16384, 4096, 1024, 256, 64, 16, 16, 16};
    ASSERT_EQ(withFlag.levels.size(), 9u);
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(withFlag.levels[i].size(), sizes[i]);
    }
    EXPECT_EQ(withFlag.levels, DdsLevels(Dxt5(256, 256, 9, true)));
    EXPECT_FALSE(withFlag.keepsStoredLevels);
    EXPECT_EQ(withFlag.IWIHeader.format, IWI_FMT_DXT5);
    EXPECT_EQ(withFlag.width, 256);
}

TEST(DdsReader, ZeroMipMapCountMeansOneLevel) {
    // Many writers set the flag and leave the count at 0.
    Bytes file = MakeDds(Dxt5(16, 16, 1, true));
    pictavo::testing::PutU32(file, 28, 0);
    TempDir dir;
    IWI image;
    ASSERT_EQ(LoadBytes(image, dir, "a.dds", file), IWI_OK);
    EXPECT_EQ(image.levelCount, 1);
    EXPECT_EQ(image.GetSizeText(), "0x00000100");
}

TEST(DdsReader, EachFourCCGivesItsFormat) {
    TempDir dir;
    const std::pair<const char*, int> formats[] = {{"DXT1", 11}, {"DXT3", 12}, {"DXT5", 13}};
    for (const auto& [fourCC, code] : formats) {
        IWI image;
        const DdsParams params{FourCCOf(fourCC), code, 8, 8, 4, true};
        ASSERT_EQ(LoadBytes(image, dir, "a.dds", MakeDds(params)), IWI_OK) << fourCC;
        EXPECT_EQ(image.IWIHeader.format, code);
        EXPECT_EQ(image.levels, DdsLevels(params));
    }
}

TEST(DdsReader, NonPowerOfTwoChainsHalveDownwards) {
    // 747 x 600 with ten levels: sides go 747, 373, 186 ... as DDS writers make them.
    TempDir dir;
    IWI image;
    const DdsParams params{FourCCOf("DXT1"), 11, 747, 600, 10, true};
    const Bytes file = MakeDds(params);
    ASSERT_EQ(file.size(), 300168u);
    ASSERT_EQ(LoadBytes(image, dir, "a.dds", file), IWI_OK);
    EXPECT_EQ(image.levels, DdsLevels(params));
}

Bytes With(Bytes file, std::size_t at, std::uint32_t value) {
    PutU32(file, at, value);
    return file;
}

TEST(DdsReader, RefusesMalformedHeaders) {
    const Bytes good = MakeDds(Dxt5(16, 16, 3, true));
    struct Case {
        const char* what;
        Bytes file;
        int result;
    };
    const std::vector<Case> cases = {
        {"empty", {}, IWI_ERR_DDS_HEADER},
        {"bad magic", With(good, 0, FourCCOf("DDS_")), IWI_ERR_DDS_HEADER},
        {"dwSize 128", With(good, 4, 128), IWI_ERR_DDS_HEADER},
        {"no caps flag", With(good, 8, 0x21006), IWI_ERR_DDS_HEADER},
        {"no pixel format flag", With(good, 8, 0x20007), IWI_ERR_DDS_HEADER},
        {"no FourCC flag (RGBA)", With(good, 80, 0x41), IWI_ERR_FORMAT},
        {"BC6H", With(good, 84, FourCCOf("BC6H")), IWI_ERR_FORMAT},
        {"DX10", With(good, 84, FourCCOf("DX10")), IWI_ERR_FORMAT},
        {"zero FourCC", With(good, 84, 0), IWI_ERR_FORMAT},
        {"width 0", With(good, 16, 0), IWI_ERR_BAD_SIZE},
        {"height 0", With(good, 12, 0), IWI_ERR_BAD_SIZE},
        {"width 32768", With(good, 16, 32768), IWI_ERR_BAD_SIZE},
        {"height 16777217", With(good, 12, 16777217), IWI_ERR_BAD_SIZE},
        {"six levels for 16 x 16", With(good, 28, 6), IWI_ERR_BAD_SIZE},
        {"a billion levels", With(good, 28, 1000000000), IWI_ERR_BAD_SIZE},
        {"promises a larger image", With(good, 16, 32000), IWI_ERR_TRUNCATED},
        {"one byte missing", Bytes(good.begin(), good.end() - 1), IWI_ERR_TRUNCATED},
        {"header only", Bytes(good.begin(), good.begin() + 128), IWI_ERR_TRUNCATED},
        {"half a header", Bytes(good.begin(), good.begin() + 64), IWI_ERR_TRUNCATED},
    };
    TempDir dir;
    for (const Case& c : cases) {
        IWI image;
        EXPECT_EQ(LoadBytes(image, dir, "bad.dds", c.file), c.result) << c.what;
        EXPECT_EQ(ResultFor(image.readError), c.result) << c.what;
        EXPECT_FALSE(image.loaded) << c.what;
        EXPECT_TRUE(image.levels.empty()) << c.what;
    }
}

// The reason recorded is the one the result code stands for: a file that is not a DDS file
// under a DDS name has no valid DDS header, whatever else it is.
TEST(DdsReader, RecordsTheReasonItsResultGives) {
    const Bytes good = MakeDds(Dxt5(16, 16, 3, true));
    TempDir dir;
    for (const Bytes& file : {With(good, 0, FourCCOf("DDS_")),
                              pictavo::testing::MakeIwi({6, 11, 8, 8, 4}), Bytes{'h', 'i'}}) {
        IWI image;
        EXPECT_EQ(LoadBytes(image, dir, "bad.dds", file), IWI_ERR_DDS_HEADER);
        EXPECT_EQ(image.readError, pictavo::TextureError::kDdsHeader);
        EXPECT_EQ(image.readErrorText, pictavo::ErrorText(pictavo::TextureError::kDdsHeader));
    }
}

TEST(DdsReader, FiveLevelsFor16By16AreAccepted) {
    TempDir dir;
    IWI image;
    EXPECT_EQ(LoadBytes(image, dir, "a.dds", MakeDds(Dxt5(16, 16, 5, true))), IWI_OK);
    EXPECT_EQ(image.levelCount, 5);
}

TEST(DdsReader, EveryTruncatedPrefixIsRefused) {
    for (const DdsParams& params :
         {Dxt5(16, 16, 5, true), DdsParams{FourCCOf("DXT1"), 11, 12, 8, 4, true}}) {
        const Bytes file = MakeDds(params);
        TempDir dir;
        for (std::size_t length = 0; length < file.size(); ++length) {
            IWI image;
            ASSERT_NE(LoadBytes(image, dir, "cut.dds", Bytes(file.begin(), file.begin() + length)),
                      IWI_OK)
                << length << " bytes";
            ASSERT_FALSE(image.loaded);
        }
    }
}

TEST(DdsReader, ExtraBytesAfterTheLevelsAreIgnored) {
    Bytes file = MakeDds(Dxt5(4, 4, 1, false));
    file.resize(file.size() + 240, 0xAB);
    TempDir dir;
    IWI image;
    ASSERT_EQ(LoadBytes(image, dir, "a.dds", file), IWI_OK);
    EXPECT_EQ(image.levels, DdsLevels(Dxt5(4, 4, 1, false)));
}

} // namespace
