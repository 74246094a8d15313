#include "image/iwi.h"
#include "image_files.h"
#include "load_helpers.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using pictavo::testing::Bytes;
using pictavo::testing::IwiLevels;
using pictavo::testing::IwiParams;
using pictavo::testing::LoadBytes;
using pictavo::testing::MakeIwi;
using pictavo::testing::PutU32;
using pictavo::testing::TempDir;

class IwiChainTest : public ::testing::TestWithParam<IwiParams> {};

TEST_P(IwiChainTest, ReadsEveryLevelLargestFirst) {
    const IwiParams params = GetParam();
    TempDir dir;
    IWI image;
    ASSERT_EQ(LoadBytes(image, dir, "t.iwi", MakeIwi(params)), IWI_OK);
    EXPECT_TRUE(image.loaded);
    EXPECT_TRUE(image.keepsStoredLevels);
    EXPECT_EQ(image.IWIHeader.version, params.version);
    EXPECT_EQ(image.IWIHeader.format, params.format);
    EXPECT_EQ(image.IWIHeader.usage, params.usage);
    EXPECT_EQ(image.width, params.width);
    EXPECT_EQ(image.height, params.height);
    ASSERT_EQ(image.levelCount, params.levels);
    EXPECT_EQ(image.faceCount, 1);
    // Held once, exactly as stored: the upload prepares its own copy.
    EXPECT_EQ(image.levels, IwiLevels(params));
}

INSTANTIATE_TEST_SUITE_P(Layouts, IwiChainTest,
                         ::testing::Values(IwiParams{6, 11, 512, 256, 10},
                                           IwiParams{6, 13, 4, 4, 1},
                                           IwiParams{6, 12, 64, 16, 7, 0xc0},
                                           IwiParams{8, 13, 4, 4, 1, 0x03},
                                           IwiParams{8, 11, 16, 16, 5}, IwiParams{13, 11, 8, 8, 4},
                                           IwiParams{13, 13, 32, 16, 6}, IwiParams{6, 1, 8, 4, 4},
                                           IwiParams{6, 2, 5, 3, 3}, IwiParams{6, 11, 6, 6, 3},
                                           IwiParams{9, 3, 2, 64, 7}, IwiParams{8, 4, 5, 7, 3},
                                           IwiParams{13, 12, 1, 1, 1}));

TEST(IwiReader, TheFullDxt1ChainOf512By256) {
    const IwiParams params{6, 11, 512, 256, 10};
    const Bytes file = MakeIwi(params);
    ASSERT_EQ(file.size(), 87428u);
    TempDir dir;
    IWI image;
    ASSERT_EQ(LoadBytes(image, dir, "t.iwi", file), IWI_OK);
    const std::size_t sizes[] = {65536, 16384, 4096, 1024, 256, 64, 16, 8, 8, 8};
    ASSERT_EQ(image.levels.size(), 10u);
    for (std::size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(image.levels[i].size(), sizes[i]);
    }
    EXPECT_EQ(image.GetSizeText(), "0x00010000");
    EXPECT_EQ(image.GetFormatName(), "DTX1");
}

TEST(IwiReader, AFileWhoseSizeFitsNoChainIsRefused) {
    // 4 x 4 DXT1 levels are all 8 bytes: three extra bytes never end a chain.
    Bytes file = MakeIwi({6, 11, 4, 4, 1});
    file.insert(file.end(), 20 * 8 + 3, 0x55);
    PutU32(file, 12, static_cast<std::uint32_t>(file.size()));
    TempDir dir;
    IWI image;
    EXPECT_EQ(LoadBytes(image, dir, "t.iwi", file), IWI_ERR_LAYOUT);
    EXPECT_NE(IWI::GetErrorString(IWI_ERR_LAYOUT), "Unknown Error_?");
}

TEST(IwiReader, FourSpareBytesFollowTheChainThoughTheTablePointsPastThem) {
    // As in the games' files: the chain runs from the header, four bytes follow it, and
    // every offset in the table is four too high.
    const IwiParams params{8, 13, 16, 16, 5};
    Bytes file = MakeIwi(params);
    file.insert(file.end(), 4, 0xEE);
    for (std::size_t k = 0; k < 4; ++k) {
        PutU32(file, 16 + 4 * k, pictavo::testing::GetU32(file, 16 + 4 * k) + 4);
    }
    TempDir dir;
    IWI image;
    ASSERT_EQ(LoadBytes(image, dir, "t.iwi", file), IWI_OK);
    EXPECT_EQ(image.levels, IwiLevels(params));
}

TEST(IwiReader, LevelsCutIntoWholeBlockPiecesAreJoinedAgain) {
    // A 36 x 32 DXT1 chain, largest first, copied smallest first in pieces that count whole
    // blocks only (9 x 8, 4 x 4, 2 x 2 and 1 x 1 blocks), the table saying where they start.
    const IwiParams params{8, 11, 36, 32, 6};
    const std::vector<Bytes> levels = IwiLevels(params);
    Bytes chain;
    for (const Bytes& level : levels) {
        chain.insert(chain.end(), level.begin(), level.end());
    }
    const std::size_t pieces[] = {576, 128, 32, 8};
    Bytes file = MakeIwi(params);
    const std::size_t end = file.size();
    std::size_t start = end;
    std::size_t from = 0;
    for (const std::size_t piece : pieces) {
        start -= piece;
        std::copy_n(chain.begin() + static_cast<std::ptrdiff_t>(from), piece,
                    file.begin() + static_cast<std::ptrdiff_t>(start));
        from += piece;
    }
    const std::uint32_t table[] = {
        static_cast<std::uint32_t>(end), static_cast<std::uint32_t>(end - 576),
        static_cast<std::uint32_t>(end - 704), static_cast<std::uint32_t>(end - 736)};
    for (std::size_t k = 0; k < 4; ++k) {
        PutU32(file, 16 + 4 * k, table[k]);
    }
    TempDir dir;
    IWI image;
    ASSERT_EQ(LoadBytes(image, dir, "t.iwi", file), IWI_OK);
    // Level 1 (18 x 16, 160 bytes) takes the second piece and the third; level 2 would need
    // more than the pieces hold, so the file holds two levels.
    ASSERT_EQ(image.levelCount, 2);
    EXPECT_EQ(image.levels, std::vector<Bytes>(levels.begin(), levels.begin() + 2));
}

struct Malformed {
    const char* what;
    Bytes file;
    int result;
};

Bytes Patched(Bytes file, std::size_t at, std::uint8_t value) {
    file[at] = value;
    return file;
}

Bytes WithFirstOffset(Bytes file, std::uint32_t value) {
    PutU32(file, 12, value);
    return file;
}

TEST(IwiReader, RefusesMalformedFiles) {
    const Bytes good = MakeIwi({6, 11, 8, 8, 4});
    const Bytes cases_big = MakeIwi({6, 13, 64, 64, 1});
    std::vector<Malformed> cases = {
        {"empty", {}, IWI_ERR_MAGIC},
        {"upper-case magic", Patched(good, 2, 'I'), IWI_ERR_MAGIC},
        {"magic only", {'I', 'W', 'i'}, IWI_ERR_TRUNCATED},
        {"version 7", Patched(good, 3, 7), IWI_ERR_VERSION},
        {"version 0", Patched(good, 3, 0), IWI_ERR_VERSION},
        {"format 0", Patched(good, 4, 0), IWI_ERR_IMAGE_FORMAT},
        {"format 5", Patched(good, 4, 5), IWI_ERR_IMAGE_FORMAT},
        {"format 7", Patched(good, 4, 7), IWI_ERR_VARIABLE_FORMAT},
        {"depth 2", Patched(good, 10, 2), IWI_ERR_LAYOUT},
        {"format 14", Patched(good, 4, 14), IWI_ERR_IMAGE_FORMAT},
        {"width 0", Patched(Patched(good, 6, 0), 7, 0), IWI_ERR_BAD_SIZE},
        {"negative height", Patched(good, 9, 0x80), IWI_ERR_BAD_SIZE},
        {"level 0 larger than the file", Patched(good, 7, 0x10), IWI_ERR_TRUNCATED},
        {"huge level in a tiny file", WithFirstOffset(Patched(Patched(good, 7, 0x7F), 9, 0x7F), 0),
         IWI_ERR_TRUNCATED},
        {"short header", Bytes(good.begin(), good.begin() + 20), IWI_ERR_TRUNCATED},
        {"one byte missing", Bytes(cases_big.begin(), cases_big.end() - 1), IWI_ERR_TRUNCATED},
    };
    TempDir dir;
    for (const Malformed& c : cases) {
        IWI image;
        EXPECT_EQ(LoadBytes(image, dir, "bad.iwi", c.file), c.result) << c.what;
        EXPECT_EQ(ResultFor(image.readError), c.result) << c.what;
        EXPECT_FALSE(image.loaded) << c.what;
        EXPECT_TRUE(image.levels.empty()) << c.what;
        EXPECT_TRUE(image.keepsStoredLevels) << c.what;
    }
}

TEST(IwiReader, EveryTruncatedPrefixIsRefused) {
    for (const IwiParams& params : {IwiParams{6, 11, 16, 16, 5}, IwiParams{8, 13, 8, 8, 4},
                                    IwiParams{13, 12, 8, 4, 4}, IwiParams{6, 2, 4, 4, 3}}) {
        const Bytes file = MakeIwi(params);
        TempDir dir;
        for (std::size_t length = 0; length < file.size(); ++length) {
            IWI image;
            const int result =
                LoadBytes(image, dir, "cut.iwi", Bytes(file.begin(), file.begin() + length));
            ASSERT_NE(result, IWI_OK) << "version " << params.version << ", " << length << " bytes";
            ASSERT_FALSE(image.loaded);
        }
    }
}

TEST(IwiReader, MissingFileReportsOpenFailure) {
    TempDir dir;
    IWI image;
    image.filePath = dir.File("gone.iwi");
    EXPECT_EQ(image.ReadIWI(), IWI_ERR_OPEN);
}

} // namespace
