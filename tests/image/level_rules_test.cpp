#include "block_flip.h"
#include "image/image_format.h"
#include "texture/level_flip.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

using pictavo::FlipBlockDXT1;
using pictavo::FlipBlockDXT3;
using pictavo::FlipBlockDXT5;
using pictavo::FlipLevelVertically;
using pictavo::SwapRedAndBlue;

struct SizeCase {
    int format;
    std::uint32_t width;
    std::uint32_t height;
    std::uint64_t bytes;
};

class LevelSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(LevelSizeTest, CountsWholeBlocks) {
    const SizeCase c = GetParam();
    EXPECT_EQ(LevelSize(*FindFormatInfo(c.format), c.width, c.height), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(Formats, LevelSizeTest,
                         ::testing::Values(SizeCase{11, 512, 256, 65536}, SizeCase{11, 1, 1, 8},
                                           SizeCase{13, 1, 1, 16}, SizeCase{11, 4, 2, 8},
                                           SizeCase{11, 2, 1, 8},
                                           // sides that are not multiples of 4 round up
                                           SizeCase{11, 6, 6, 32}, SizeCase{13, 6, 6, 64},
                                           SizeCase{12, 5, 9, 96}, SizeCase{11, 747, 600, 224400},
                                           SizeCase{1, 3, 5, 60}, SizeCase{2, 3, 5, 45},
                                           SizeCase{13, 0, 0, 16}, SizeCase{1, 0, 7, 28},
                                           SizeCase{1, 32767, 32767, 4294705156ull}));

TEST(FormatTable, KnowsTheSevenIwiCodesAndTheDdsBlockFormats) {
    for (int code = -1; code < 300; ++code) {
        const FormatInfo* info = FindFormatInfo(code);
        const bool iwi = (code >= 1 && code <= 4) || (code >= 11 && code <= 13);
        const bool ddsOnly = code == 0x40 || code == 0x41 || code == 0x50 || code == 0x51 ||
                             code == 0x70; // BC4, BC4 signed, BC5, BC5 signed, BC7
        ASSERT_EQ(info != nullptr, iwi || ddsOnly) << code;
        if (info != nullptr) {
            EXPECT_EQ(info->code, code);
            EXPECT_EQ(info->compressed, code >= 11);
            EXPECT_EQ(info->inIwi, iwi);
        }
    }
}

TEST(LevelChain, HalvingRulesAndMaximumCount) {
    EXPECT_EQ(NextLevelSide(1), 1u);
    EXPECT_EQ(NextLevelSide(5), 2u); // downwards, as the games' own chains halve
    EXPECT_EQ(pictavo::LevelSide(324, 3), 40u);
    EXPECT_EQ(pictavo::LevelSide(5, 7), 1u);
    EXPECT_EQ(MaxLevelCount(1, 1), 1u);
    EXPECT_EQ(MaxLevelCount(512, 256), 10u);
    EXPECT_EQ(MaxLevelCount(747, 600), 10u);
    EXPECT_EQ(MaxLevelCount(32767, 1), 15u);
}

// Pixel indices of a block, row by row, decoded independently of the flip code.
using Indices = std::array<int, 16>;

Indices RandomIndices(std::mt19937& random, int limit) {
    Indices indices{};
    for (int& index : indices) {
        index = static_cast<int>(random() % static_cast<unsigned>(limit));
    }
    return indices;
}

Indices Flipped(const Indices& indices) {
    Indices flipped{};
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            flipped[y * 4 + x] = indices[(3 - y) * 4 + x];
        }
    }
    return flipped;
}

// Packs `bits`-wide indices little-endian into `count` bytes starting at `at`.
void Pack(std::uint8_t* block, int at, int bits, const Indices& indices) {
    std::uint64_t value = 0;
    for (int i = 15; i >= 0; --i) {
        value = (value << bits) | static_cast<std::uint64_t>(indices[i]);
    }
    for (int byte = 0; byte < 2 * bits; ++byte) {
        block[at + byte] = static_cast<std::uint8_t>(value >> (8 * byte));
    }
}

struct BlockLayout {
    int format;
    int blockBytes;
    int colourAt; // two 16-bit colours, left alone
    int colourIndicesAt;
    int alphaAt; // -1 without alpha
    int alphaBits;
    void (*flip)(std::uint8_t*);
};

class BlockFlipTest : public ::testing::TestWithParam<BlockLayout> {};

TEST_P(BlockFlipTest, ReversesPixelRowsAndKeepsEndpoints) {
    const BlockLayout layout = GetParam();
    std::mt19937 random(layout.format);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::uint8_t> block(layout.blockBytes);
        std::vector<std::uint8_t> expected(layout.blockBytes);
        for (int i = 0; i < 4; ++i) {
            block[layout.colourAt + i] = expected[layout.colourAt + i] =
                static_cast<std::uint8_t>(random());
        }
        const Indices colours = RandomIndices(random, 4);
        Pack(block.data(), layout.colourIndicesAt, 2, colours);
        Pack(expected.data(), layout.colourIndicesAt, 2, Flipped(colours));
        if (layout.alphaAt >= 0) {
            if (layout.format == 13) {
                block[0] = expected[0] = static_cast<std::uint8_t>(random());
                block[1] = expected[1] = static_cast<std::uint8_t>(random());
            }
            const Indices alpha = RandomIndices(random, 1 << layout.alphaBits);
            Pack(block.data(), layout.alphaAt, layout.alphaBits, alpha);
            Pack(expected.data(), layout.alphaAt, layout.alphaBits, Flipped(alpha));
        }
        layout.flip(block.data());
        ASSERT_EQ(block, expected) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Dxt, BlockFlipTest,
                         ::testing::Values(BlockLayout{11, 8, 0, 4, -1, 0, FlipBlockDXT1},
                                           BlockLayout{12, 16, 8, 12, 0, 4, FlipBlockDXT3},
                                           BlockLayout{13, 16, 8, 12, 2, 3, FlipBlockDXT5}));

TEST(LevelFlip, SingleBlockIsFlippedInPlaceOnly) {
    const FormatInfo& dxt1 = *FindFormatInfo(IWI_FMT_DXT1);
    std::vector<std::uint8_t> level{1, 2, 3, 4, 0x10, 0x20, 0x30, 0x40};
    FlipLevelVertically(dxt1, 4, 4, level.data(), level.size());
    EXPECT_EQ(level, (std::vector<std::uint8_t>{1, 2, 3, 4, 0x40, 0x30, 0x20, 0x10}));
}

TEST(LevelFlip, BlockRowsAreExchangedAndEachBlockFlipped) {
    const FormatInfo& dxt1 = *FindFormatInfo(IWI_FMT_DXT1);
    // 8 x 8: two block rows of two blocks.
    std::vector<std::uint8_t> level(32);
    for (std::size_t i = 0; i < level.size(); ++i) {
        level[i] = static_cast<std::uint8_t>(i);
    }
    std::vector<std::uint8_t> expected;
    for (int sourceRow : {1, 0}) {
        for (int block = 0; block < 2; ++block) {
            const int base = sourceRow * 16 + block * 8;
            for (int i : {0, 1, 2, 3, 7, 6, 5, 4}) {
                expected.push_back(static_cast<std::uint8_t>(base + i));
            }
        }
    }
    FlipLevelVertically(dxt1, 8, 8, level.data(), level.size());
    EXPECT_EQ(level, expected);
}

TEST(LevelFlip, SidesNotMultipleOfFourCoverPartialBlocks) {
    const FormatInfo& dxt5 = *FindFormatInfo(IWI_FMT_DXT5);
    // 6 x 6 holds 2 x 2 blocks; the whole level must move, not a quarter of it.
    std::vector<std::uint8_t> level(64);
    for (std::size_t i = 0; i < level.size(); ++i) {
        level[i] = static_cast<std::uint8_t>(i + 1);
    }
    std::vector<std::uint8_t> flipped = level;
    FlipLevelVertically(dxt5, 6, 6, flipped.data(), flipped.size());
    // Colour endpoints of the first block of the top row now open the second row.
    EXPECT_EQ(flipped[32 + 8], level[8]);
    EXPECT_EQ(flipped[8], level[32 + 8]);
}

TEST(LevelFlip, BlocksThatCannotBeTurnedAreLeftForDecoding) {
    for (const int format : {pictavo::kFormatBc4, pictavo::kFormatBc5, pictavo::kFormatBc7}) {
        const FormatInfo& info = *FindFormatInfo(format);
        std::vector<std::uint8_t> level(4 * info.bytesPerBlock);
        for (std::size_t i = 0; i < level.size(); ++i) {
            level[i] = static_cast<std::uint8_t>(i);
        }
        const std::vector<std::uint8_t> before = level;
        EXPECT_FALSE(FlipLevelVertically(info, 8, 8, level.data(), level.size())) << format;
        EXPECT_EQ(level, before) << format;
    }
}

TEST(ChannelSwap, TurnsBgrIntoRgbPerPixel) {
    std::vector<std::uint8_t> rgba{10, 20, 30, 40, 1, 2, 3, 4};
    SwapRedAndBlue(rgba.data(), rgba.size(), 4);
    EXPECT_EQ(rgba, (std::vector<std::uint8_t>{30, 20, 10, 40, 3, 2, 1, 4}));
    std::vector<std::uint8_t> rgb{10, 20, 30, 1, 2, 3};
    SwapRedAndBlue(rgb.data(), rgb.size(), 3);
    EXPECT_EQ(rgb, (std::vector<std::uint8_t>{30, 20, 10, 3, 2, 1}));
}

} // namespace
