#include "dds_header.h"
#include "decode_paths.h"
#include "external_tools.h"
#include "texture/decode.h"
#include "texture_samples.h"

#include <algorithm>
#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <set>

#ifdef PICTAVO_HAVE_SQUISH
#include <squish.h>
#endif

namespace {

using pictavo::DecodeLevel;
using pictavo::DecodeLevelBy;
using pictavo::DxtPath;
using pictavo::FindFormat;
using pictavo::FormatInfo;
using pictavo::LevelSize;
using pictavo::RgbaImage;
using pictavo::Texture;
using pictavo::TextureError;
using pictavo::TextureInfo;
using pictavo::testing::Bytes;
using pictavo::testing::CorpusTexture;
using pictavo::testing::DecodeLevel0;
using pictavo::testing::ImageMagickPixels;
using pictavo::testing::PixelsWithin;
using pictavo::testing::ReadCorpusTextures;
using pictavo::testing::TempDir;

bool IsDxt(const TextureInfo& info) {
    return info.format == pictavo::kFormatDxt1 || info.format == pictavo::kFormatDxt3 ||
           info.format == pictavo::kFormatDxt5;
}

bool IsUncompressed(const TextureInfo& info) {
    const FormatInfo* format = FindFormat(info.format);
    return format != nullptr && !format->compressed;
}

// Decodes level 0 of every DXT texture of the corpus with us and with `reference`, and
// requires the two to agree within 1 per channel; then that all three DXT formats were seen.
void CompareCorpusDxtLevels(const std::function<Bytes(const CorpusTexture&)>& reference) {
    const std::vector<CorpusTexture> textures = ReadCorpusTextures(IsDxt);
    if (textures.empty()) {
        GTEST_SKIP() << "the corpus of real files is absent (PICTAVO_CORPUS_DIR)";
    }
    std::set<int> formats;
    for (const CorpusTexture& sample : textures) {
        SCOPED_TRACE(sample.name);
        const RgbaImage ours = DecodeLevel0(sample.texture);
        EXPECT_TRUE(PixelsWithin(reference(sample), ours.pixels, ours.width, 1));
        formats.insert(sample.texture.info.format);
    }
    EXPECT_EQ(formats,
              (std::set<int>{pictavo::kFormatDxt1, pictavo::kFormatDxt3, pictavo::kFormatDxt5}));
}

TEST(DecodeCorpus, DxtLevelsAgreeWithLibsquish) {
#ifdef PICTAVO_HAVE_SQUISH
    CompareCorpusDxtLevels([](const CorpusTexture& sample) {
        const TextureInfo& info = sample.texture.info;
        const int flags = info.format == pictavo::kFormatDxt1   ? squish::kDxt1
                          : info.format == pictavo::kFormatDxt3 ? squish::kDxt3
                                                                : squish::kDxt5;
        Bytes rgba(static_cast<std::size_t>(info.width) * info.height * 4);
        squish::DecompressImage(rgba.data(), static_cast<int>(info.width),
                                static_cast<int>(info.height), sample.texture.Image(0).data(),
                                flags);
        return rgba;
    });
#else
    GTEST_SKIP() << "libsquish was not found when the tests were configured";
#endif
}

TEST(DecodeCorpus, DxtLevelsAgreeWithImageMagick) {
    if (!pictavo::testing::ToolInstalled("convert")) {
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    }
    TempDir dir;
    CompareCorpusDxtLevels([&dir](const CorpusTexture& sample) {
        const TextureInfo& info = sample.texture.info;
        const pictavo::DdsHeaderBytes header =
            pictavo::dds::Make(info.format, info.width, info.height, 1);
        const Bytes& level = sample.texture.Image(0);
        Bytes dds(header.size() + level.size());
        std::copy(level.begin(), level.end(), std::copy(header.begin(), header.end(), dds.begin()));
        const std::string file = dir.File("level0.dds");
        pictavo::testing::WriteBytes(file, dds);
        return ImageMagickPixels(dir, file);
    });
}

// Decodes a level with the scalar and the SSSE3 block decoders, stored and streamed, and
// requires the same bytes.
void ExpectPathsAgree(int format, std::uint32_t width, std::uint32_t height, const Bytes& stored) {
    RgbaImage scalar;
    ASSERT_TRUE(
        DecodeLevelBy(DxtPath::kScalar, *FindFormat(format), width, height, stored, scalar));
    for (const DxtPath path : {DxtPath::kSsse3, DxtPath::kSsse3Streamed}) {
        RgbaImage ssse3;
        ASSERT_TRUE(DecodeLevelBy(path, *FindFormat(format), width, height, stored, ssse3));
        EXPECT_EQ(scalar.pixels, ssse3.pixels) << static_cast<int>(path);
    }
}

TEST(DecodePaths, Ssse3BlocksAreTheScalarBytesForRandomBlocksAndTheCorpus) {
    if (!pictavo::DxtPathAvailable(DxtPath::kSsse3)) {
        GTEST_SKIP() << "this build or processor has no SSSE3 path";
    }
    // Random bytes take every mode; every fourth block has equal endpoints, where the DXT1,
    // DXT5 alpha and BC4 modes change.
    std::mt19937 random(7);
    for (const int format :
         {pictavo::kFormatDxt1, pictavo::kFormatDxt3, pictavo::kFormatDxt5, pictavo::kFormatBc4,
          pictavo::kFormatBc4Signed, pictavo::kFormatBc5, pictavo::kFormatBc5Signed}) {
        for (const auto& [width, height] :
             {std::pair<std::uint32_t, std::uint32_t>{256, 256}, {37, 22}, {3, 2}}) {
            SCOPED_TRACE(std::to_string(format) + ": " + std::to_string(width) + " x " +
                         std::to_string(height));
            const std::size_t blockBytes = FindFormat(format)->bytesPerBlock;
            Bytes stored(LevelSize(*FindFormat(format), width, height));
            for (std::size_t i = 0; i < stored.size(); ++i) {
                stored[i] = static_cast<std::uint8_t>(random());
            }
            for (std::size_t b = 0; b < stored.size(); b += 4 * blockBytes) {
                stored[b + 1] = stored[b];
                std::uint8_t* colours = stored.data() + b + blockBytes - 8;
                colours[2] = colours[0];
                colours[3] = colours[1];
            }
            ExpectPathsAgree(format, width, height, stored);
        }
    }
    for (const CorpusTexture& sample : ReadCorpusTextures(IsDxt)) {
        SCOPED_TRACE(sample.name);
        const TextureInfo& info = sample.texture.info;
        for (std::uint32_t level = 0; level < info.levels; ++level) {
            ExpectPathsAgree(info.format, info.LevelWidth(level), info.LevelHeight(level),
                             sample.texture.Image(level));
        }
    }
}

TEST(DecodeCorpus, UncompressedLevelsAreTheStoredPixelsInRgbaOrder) {
    const std::vector<CorpusTexture> textures = ReadCorpusTextures(IsUncompressed);
    if (textures.empty()) {
        GTEST_SKIP() << "the corpus of real files is absent (PICTAVO_CORPUS_DIR)";
    }
    std::set<int> formats;
    for (const CorpusTexture& sample : textures) {
        SCOPED_TRACE(sample.name);
        const int format = sample.texture.info.format;
        const RgbaImage ours = DecodeLevel0(sample.texture);
        EXPECT_EQ(ours.pixels, pictavo::testing::StoredToRgba(format, sample.texture.Image(0)));
        formats.insert(format);
    }
    EXPECT_EQ(formats, (std::set<int>{pictavo::kFormatBgra8, pictavo::kFormatBgr8,
                                      pictavo::kFormatLa8, pictavo::kFormatA8}));
}

using Rgba = std::array<std::uint8_t, 4>;

Rgba PixelAt(const RgbaImage& image, std::uint32_t x, std::uint32_t y) {
    const std::uint8_t* p =
        image.pixels.data() + (static_cast<std::size_t>(y) * image.width + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

// A colour block: two 5:6:5 colours, then the 2-bit index of each pixel, rows top first.
Bytes ColourBlock(std::uint16_t c0, std::uint16_t c1, const std::array<int, 16>& indices) {
    Bytes block{static_cast<std::uint8_t>(c0),
                static_cast<std::uint8_t>(c0 >> 8),
                static_cast<std::uint8_t>(c1),
                static_cast<std::uint8_t>(c1 >> 8),
                0,
                0,
                0,
                0};
    for (int i = 0; i < 16; ++i) {
        block[4 + i / 4] |= static_cast<std::uint8_t>(indices[i] << (2 * (i % 4)));
    }
    return block;
}

RgbaImage Decode(int format, std::uint32_t width, std::uint32_t height, const Bytes& stored) {
    RgbaImage image;
    EXPECT_TRUE(DecodeLevel(*FindFormat(format), width, height, stored, image));
    return image;
}

constexpr std::uint16_t kBlue565 = 0x001F;
constexpr std::uint16_t kRed565 = 0xF800;
constexpr std::array<int, 16> kEachIndex{0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3};

TEST(DecodeBlocks, Dxt1WithFirstColourNotAboveSecondAveragesAndHasTransparentBlack) {
    const RgbaImage image =
        Decode(pictavo::kFormatDxt1, 4, 4, ColourBlock(kBlue565, kRed565, kEachIndex));
    EXPECT_EQ(PixelAt(image, 0, 3), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(PixelAt(image, 1, 3), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(PixelAt(image, 2, 3), (Rgba{127, 0, 127, 255}));
    EXPECT_EQ(PixelAt(image, 3, 3), (Rgba{0, 0, 0, 0}));

    // Equal colours are the same mode.
    const RgbaImage equal =
        Decode(pictavo::kFormatDxt1, 4, 4, ColourBlock(kRed565, kRed565, kEachIndex));
    EXPECT_EQ(PixelAt(equal, 3, 0), (Rgba{0, 0, 0, 0}));
}

// A DXT5 block of white pixels with the given alpha endpoints and 3-bit alpha indices.
Bytes Dxt5Block(std::uint8_t a0, std::uint8_t a1, const std::array<int, 16>& indices) {
    Bytes block{a0, a1, 0, 0, 0, 0, 0, 0};
    std::uint64_t bits = 0;
    for (int i = 0; i < 16; ++i) {
        bits |= static_cast<std::uint64_t>(indices[i]) << (3 * i);
    }
    for (int i = 0; i < 6; ++i) {
        block[2 + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
    const Bytes colours = ColourBlock(0xFFFF, 0xFFFF, {});
    block.insert(block.end(), colours.begin(), colours.end());
    return block;
}

std::vector<int> Alphas(const RgbaImage& image) {
    std::vector<int> alphas;
    for (std::size_t i = 3; i < image.pixels.size(); i += 4) {
        alphas.push_back(image.pixels[i]);
    }
    return alphas;
}

TEST(DecodeBlocks, Dxt5AlphaHasSixShadesWithZeroAnd255OrEightShades) {
    const std::array<int, 16> indices{0, 1, 2, 3, 4, 5, 6, 7, 7, 6, 5, 4, 3, 2, 1, 0};
    EXPECT_EQ(
        Alphas(Decode(pictavo::kFormatDxt5, 4, 4, Dxt5Block(40, 200, indices))),
        (std::vector<int>{40, 200, 72, 104, 136, 168, 0, 255, 255, 0, 168, 136, 104, 72, 200, 40}));
    EXPECT_EQ(Alphas(Decode(pictavo::kFormatDxt5, 4, 4, Dxt5Block(200, 40, indices))),
              (std::vector<int>{200, 40, 177, 154, 131, 108, 85, 62, 62, 85, 108, 131, 154, 177, 40,
                                200}));
}

TEST(DecodeBlocks, SidesThatAreNotMultiplesOfFourDropThePixelsOutsideTheImage) {
    // White and black give the shades 255, 0, 170 and 85; each block shifts the indices.
    constexpr std::array<std::uint8_t, 4> kShades{255, 0, 170, 85};
    const auto index = [](std::uint32_t block, std::uint32_t x, std::uint32_t y) {
        return static_cast<int>((block + x + 2 * y) % 4);
    };
    for (const auto& [width, height] :
         {std::pair<std::uint32_t, std::uint32_t>{1, 1}, {2, 1}, {5, 3}}) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        const std::uint32_t across = (width + 3) / 4;
        const std::uint32_t blocks = across * ((height + 3) / 4);
        Bytes stored;
        for (std::uint32_t b = 0; b < blocks; ++b) {
            std::array<int, 16> indices{};
            for (std::uint32_t i = 0; i < 16; ++i) {
                indices[i] = index(b, i % 4, i / 4);
            }
            const Bytes block = ColourBlock(0xFFFF, 0x0000, indices);
            stored.insert(stored.end(), block.begin(), block.end());
        }
        const RgbaImage image = Decode(pictavo::kFormatDxt1, width, height, stored);
        ASSERT_EQ(image.pixels.size(), std::size_t{width} * height * 4);
        for (std::uint32_t y = 0; y < height; ++y) {
            for (std::uint32_t x = 0; x < width; ++x) {
                const std::uint8_t shade = kShades[index(y / 4 * across + x / 4, x % 4, y % 4)];
                EXPECT_EQ(PixelAt(image, x, y), (Rgba{shade, shade, shade, 255})) << x << ", " << y;
            }
        }
    }
}

// The entry every program decodes through: the level and face asked for, or nothing.
TEST(DecodeImage, DecodesTheChosenLevelAndFaceOrRefuses) {
    Texture cube;
    cube.info.format = pictavo::kFormatBgra8;
    cube.info.width = 2;
    cube.info.height = 1;
    cube.info.levels = 2;
    cube.info.faces = 6;
    for (std::uint8_t face = 0; face < 6; ++face) {
        cube.images.push_back(Bytes(8, face));
        cube.images.push_back(Bytes{face, 1, 2, 3});
    }
    RgbaImage image;
    ASSERT_TRUE(pictavo::DecodeImage(cube, 1, 4, image));
    EXPECT_EQ(image.width, 1u);
    EXPECT_EQ(image.pixels, (Bytes{2, 1, 4, 3}));
    ASSERT_TRUE(pictavo::DecodeImage(cube.info, 0, cube.Image(0, 5), image));
    EXPECT_EQ(image.pixels, Bytes(8, 5));
    const auto refusal = [](const pictavo::Status& status) {
        return status ? TextureError::kNone : status.error().code;
    };
    EXPECT_EQ(refusal(pictavo::DecodeImage(cube, 2, 0, image)), TextureError::kNoLevel);
    EXPECT_EQ(refusal(pictavo::DecodeImage(cube, 0, 6, image)), TextureError::kNoLevel);
    EXPECT_EQ(refusal(pictavo::DecodeImage(cube.info, 0, Bytes(7), image)),
              TextureError::kTruncated);
    cube.images.pop_back();
    EXPECT_EQ(refusal(pictavo::DecodeImage(cube, 0, 0, image)), TextureError::kNoLevel);
    cube.info.format = 0;
    EXPECT_EQ(refusal(pictavo::DecodeImage(cube.info, 0, Bytes(8), image)),
              TextureError::kUnknownFormat);
}

TEST(DecodeLevel, RefusesShortInputEmptySidesAndFormatsWithoutADecoder) {
    for (const int code : {1, 2, 3, 4, 11, 12, 13}) {
        SCOPED_TRACE(code);
        const FormatInfo& format = *FindFormat(code);
        const Bytes whole(LevelSize(format, 5, 3), 0x5A);
        RgbaImage image;
        EXPECT_FALSE(DecodeLevel(format, 5, 3, std::span(whole).first(whole.size() - 1), image));
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_FALSE(DecodeLevel(format, 0, 3, whole, image));
        EXPECT_FALSE(DecodeLevel(format, 5, 0, whole, image));
        EXPECT_FALSE(DecodeLevel(format, 0xFFFFFFFF, 0xFFFFFFFF, whole, image));
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_TRUE(DecodeLevel(format, 5, 3, whole, image));
        EXPECT_EQ(image.pixels.size(), 5u * 3 * 4);
    }
    const FormatInfo variable{pictavo::kFormatVariable, true, 4, 16, "variable", true};
    RgbaImage image;
    EXPECT_FALSE(DecodeLevel(variable, 4, 4, Bytes(64), image));
}

} // namespace
