#include "image_files.h"
#include "texture/decode.h"
#include "texture/texture_reader.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using pictavo::CutTexels;
using pictavo::ReadTexture;
using pictavo::RgbaImage;
using pictavo::Texture;
using pictavo::TextureError;
using pictavo::testing::Bytes;
using pictavo::testing::IwiParams;

RgbaImage Decoded(const Texture& texture, std::uint32_t level) {
    RgbaImage image;
    EXPECT_TRUE(pictavo::DecodeImage(texture, level, 0, image));
    return image;
}

// Version 27 format 2 files hold 4-byte texels cut to three quarters: read by default as the
// game reads them (3 bytes a pixel) with a warning, and on request as the 4-byte texels,
// R, G, B, A, where every texel the bytes do not hold whole is clear.
TEST(CutTexels, ReadAsTheGameReadsThemWithAWarningOrAsFourByteTexels) {
    const IwiParams params{27, 2, 8, 4, 4, 0};
    const Bytes file = pictavo::testing::MakeIwi(params);
    const std::vector<Bytes> stored = pictavo::testing::IwiLevels(params);

    Texture asStored;
    ASSERT_EQ(ReadTexture(file, asStored), TextureError::kNone);
    EXPECT_EQ(asStored.info.cutTexels, CutTexels::kReadAsStored);
    EXPECT_EQ(asStored.info.format, pictavo::kFormatBgr8);
    const std::string warning = asStored.info.WarningText();
    EXPECT_NE(warning.find("4-byte texels cut"), std::string::npos) << warning;
    EXPECT_NE(warning.find("striped"), std::string::npos) << warning;
    // As stored, three bytes are one pixel, R, G, B.
    EXPECT_EQ(Decoded(asStored, 0).pixels[4], stored[0][3]);

    Texture fourByte;
    ASSERT_EQ(ReadTexture(file, fourByte, {.fourByteTexels = true}), TextureError::kNone);
    EXPECT_EQ(fourByte.info.cutTexels, CutTexels::kReadAsFourByte);
    EXPECT_EQ(fourByte.info.format, pictavo::kFormatBgra8);
    EXPECT_EQ(fourByte.info.WarningText(), warning);
    ASSERT_EQ(fourByte.info.levels, 4u);
    for (std::uint32_t level = 0; level < 4; ++level) {
        SCOPED_TRACE(level);
        const RgbaImage image = Decoded(fourByte, level);
        const Bytes& bytes = stored[level];
        ASSERT_EQ(bytes.size() * 4, image.pixels.size() * 3);
        // 8 x 4 keeps 3 of its 4 rows, 4 x 2 and 2 x 1 6 and 1 of their texels, 1 x 1 none.
        const std::size_t whole = bytes.size() / 4;
        constexpr std::array<std::size_t, 4> kWhole{24, 6, 1, 0};
        EXPECT_EQ(whole, kWhole[level]);
        for (std::size_t texel = 0; texel < image.pixels.size() / 4; ++texel) {
            for (std::size_t channel = 0; channel < 4; ++channel) {
                const std::uint8_t expected = texel < whole ? bytes[texel * 4 + channel] : 0;
                ASSERT_EQ(image.pixels[texel * 4 + channel], expected) << texel << " " << channel;
            }
        }
    }

    // Other textures have no such warning, and the option leaves them as they are.
    const IwiParams dxt5{27, 13, 8, 4, 1, 2};
    Texture other;
    ASSERT_EQ(ReadTexture(pictavo::testing::MakeIwi(dxt5), other, {.fourByteTexels = true}),
              TextureError::kNone);
    EXPECT_EQ(other.info.format, pictavo::kFormatDxt5);
    EXPECT_EQ(other.info.WarningText(), "");
    const IwiParams rgba{27, 1, 8, 4, 1, 2};
    ASSERT_EQ(ReadTexture(pictavo::testing::MakeIwi(rgba), other), TextureError::kNone);
    EXPECT_EQ(other.info.WarningText(), "");
}

// How much neighbouring texels of the rows the picture holds differ, on average.
double RowRoughness(const RgbaImage& image, std::uint32_t rows) {
    double total = 0;
    std::size_t count = 0;
    const std::size_t stride = std::size_t{image.width} * 4;
    for (std::uint32_t y = 0; y + 1 < rows; ++y) {
        for (std::size_t x = 0; x < stride; ++x) {
            const int here = image.pixels[y * stride + x];
            total += std::abs(here - image.pixels[(y + 1) * stride + x]);
            total += x + 4 < stride ? std::abs(here - image.pixels[y * stride + x + 4]) : 0;
            count += 2;
        }
    }
    return total / static_cast<double>(count);
}

// The real files: each warns, and read as 4-byte texels gives a picture far smoother than the
// stripes of 3 bytes a pixel, its last quarter of rows clear.
TEST(CutTexels, CorpusFilesGiveACleanPictureAsFourByteTexels) {
    const std::filesystem::path folder =
        pictavo::testing::CorpusDir() / "iwi_kinds_more" / "iwi_v27_fmt2";
    if (pictavo::testing::CorpusDir().empty() || !std::filesystem::exists(folder)) {
        GTEST_SKIP() << "the corpus of real files is absent (PICTAVO_CORPUS_DIR)";
    }
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        SCOPED_TRACE(entry.path().string());
        Texture asStored;
        Texture fourByte;
        ASSERT_EQ(ReadTexture(entry.path().string(), asStored), TextureError::kNone);
        ASSERT_EQ(ReadTexture(entry.path().string(), fourByte, {.fourByteTexels = true}),
                  TextureError::kNone);
        EXPECT_FALSE(asStored.info.WarningText().empty());
        const RgbaImage striped = Decoded(asStored, 0);
        const RgbaImage clean = Decoded(fourByte, 0);
        const std::uint32_t held = clean.height * 3 / 4;
        EXPECT_LT(RowRoughness(clean, held) * 4, RowRoughness(striped, held));
        for (std::size_t i = std::size_t{held} * clean.width * 4; i < clean.pixels.size(); ++i) {
            ASSERT_EQ(clean.pixels[i], 0) << i;
        }
        ++files;
    }
    EXPECT_EQ(files, 3);
}

} // namespace
