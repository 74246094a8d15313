// BC4, BC5 and BC7: read from DDS files under every name writers give them, decoded as the
// programs that make and read such files decode them, written back as DDS, refused as IWI.
#include "external_tools.h"
#include "pictures.h"
#include "texture/decode.h"
#include "texture/texture_reader.h"
#include "texture/texture_writer.h"
#include "texture_samples.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>

namespace {

using pictavo::FindFormat;
using pictavo::FormatCode;
using pictavo::RgbaImage;
using pictavo::Texture;
using pictavo::TextureError;
using pictavo::testing::Bytes;
using pictavo::testing::DecodeLevel0;
using pictavo::testing::FourCCOf;
using pictavo::testing::PixelsWithin;
using pictavo::testing::Quoted;
using pictavo::testing::TempDir;

bool RunQuietly(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Mean absolute difference of one channel of two pictures of the same size.
double MeanDifference(const RgbaImage& a, int channelA, const RgbaImage& b, int channelB) {
    double sum = 0;
    for (std::size_t i = 0; i < a.pixels.size(); i += 4) {
        sum += std::abs(a.pixels[i + channelA] - b.pixels[i + channelB]);
    }
    return sum / static_cast<double>(a.pixels.size() / 4);
}

// nvcompress makes the DDS from a picture, and nvdecompress's decode of it is what ours must
// give, pixel for pixel; both must still look like the channels the blocks were made from.
RgbaImage ExpectSameAsNvdecompress(const char* option, FormatCode format,
                                   const RgbaImage& picture) {
    TempDir dir;
    pictavo::testing::WritePng(dir.path() / "picture.png", picture);
    const std::string dds = dir.File("picture.dds");
    EXPECT_TRUE(RunQuietly(std::string("nvcompress ") + option + " " +
                           Quoted(dir.File("picture.png")) + " " + Quoted(dds)));
    Texture texture;
    EXPECT_EQ(pictavo::ReadTexture(dds, texture), TextureError::kNone);
    EXPECT_EQ(texture.info.format, format);
    EXPECT_EQ(texture.info.levels, pictavo::MaxLevelCount(picture.width, picture.height));
    if (texture.images.empty()) {
        return {};
    }
    const RgbaImage ours = DecodeLevel0(texture);
    EXPECT_TRUE(RunQuietly("nvdecompress " + Quoted(dds)));
    const RgbaImage theirs = pictavo::testing::ReadPicture(dir.path() / "picture.tga");
    EXPECT_TRUE(PixelsWithin(theirs.pixels, ours.pixels, ours.width, 0));
    return ours;
}

TEST(BlockFormats, Bc4AndBc5MadeByNvcompressDecodeAsNvdecompressDecodesThem) {
    if (!pictavo::testing::ToolInstalled("nvcompress") ||
        !pictavo::testing::ToolInstalled("nvdecompress")) {
        GTEST_SKIP() << "nvcompress and nvdecompress (Debian's libnvtt-bin) are not installed";
    }
    // Sides that are no multiple of 4, so that edge blocks are cut.
    const RgbaImage picture = pictavo::testing::TestPicture(37, 22, true);
    // nvcompress packs alpha into BC4, red and green into BC5.
    const RgbaImage bc4 = ExpectSameAsNvdecompress("-bc4", pictavo::kFormatBc4, picture);
    ASSERT_FALSE(bc4.pixels.empty());
    EXPECT_LT(MeanDifference(bc4, 0, picture, 3), 3.0);
    EXPECT_EQ(MeanDifference(bc4, 0, bc4, 1) + MeanDifference(bc4, 0, bc4, 2), 0.0);
    const RgbaImage bc5 = ExpectSameAsNvdecompress("-bc5", pictavo::kFormatBc5, picture);
    ASSERT_FALSE(bc5.pixels.empty());
    EXPECT_LT(MeanDifference(bc5, 0, picture, 0), 3.0);
    EXPECT_LT(MeanDifference(bc5, 1, picture, 1), 3.0);
}

// A BC7 level of random blocks, each with one mode's bits: every mode, partition, rotation
// and index selection comes up.
Texture RandomBc7Texture(std::uint32_t width, std::uint32_t height) {
    Texture texture;
    texture.info.format = pictavo::kFormatBc7;
    texture.info.width = width;
    texture.info.height = height;
    Bytes blocks(texture.info.LevelBytes(0));
    std::mt19937 random(21);
    for (std::size_t at = 0; at < blocks.size(); at += 16) {
        for (std::size_t i = 0; i < 16; ++i) {
            blocks[at + i] = static_cast<std::uint8_t>(random());
        }
        const unsigned mode = (at / 16) % 8;
        blocks[at] = static_cast<std::uint8_t>((blocks[at] & ~((2u << mode) - 1)) | (1u << mode));
    }
    texture.images = {blocks};
    return texture;
}

TEST(BlockFormats, Bc7BlocksOfEveryModeDecodeAsPillowDecodesThem) {
    const std::string python = pictavo::testing::PythonWithPillow();
    if (python.empty()) {
        GTEST_SKIP() << "no Python 3 with Pillow (Debian's python3-pil)";
    }
    TempDir dir;
    const Texture texture = RandomBc7Texture(126, 61);
    const std::string dds = dir.File("random.dds");
    ASSERT_EQ(pictavo::WriteDds(texture, dds), TextureError::kNone);
    const std::string png = dir.File("pillow.png");
    ASSERT_TRUE(RunQuietly(python +
                           " -c \"import sys; from PIL import Image; "
                           "Image.open(sys.argv[1]).convert('RGBA').save(sys.argv[2])\" " +
                           Quoted(dds) + " " + Quoted(png)));
    const RgbaImage theirs = pictavo::testing::ReadPicture(png);
    const RgbaImage ours = DecodeLevel0(texture);
    EXPECT_TRUE(PixelsWithin(theirs.pixels, ours.pixels, ours.width, 0));
}

TEST(BlockFormats, Bc7BlocksOfTheReservedModeAreTransparentBlack) {
    Bytes block(16, 0xA5);
    block[0] = 0;
    RgbaImage image;
    ASSERT_TRUE(pictavo::DecodeLevel(*FindFormat(pictavo::kFormatBc7), 4, 4, block, image));
    EXPECT_EQ(image.pixels, Bytes(64, 0));
}

TEST(BlockFormats, SignedValuesAreShownMovedUpBy128) {
    // Endpoints 127 and -128, then -1 and 0 (the first not above the second: 0 and 255 are
    // among the values). Pixels 0-3 take indices 0, 1, 2 and 7.
    const std::uint8_t indices[6] = {0x88, 0x0E, 0, 0, 0, 0};
    for (const auto& [e0, e1, expected] :
         {std::tuple<std::uint8_t, std::uint8_t, std::array<int, 4>>{0x7F, 0x80, {255, 0, 218, 36}},
          {0xFF, 0x00, {127, 128, 127, 255}}}) {
        SCOPED_TRACE(int{e0});
        Bytes block{e0, e1};
        block.insert(block.end(), std::begin(indices), std::end(indices));
        RgbaImage bc4;
        ASSERT_TRUE(pictavo::DecodeLevel(*FindFormat(pictavo::kFormatBc4Signed), 4, 1, block, bc4));
        Bytes bc5Block = block;
        bc5Block.insert(bc5Block.end(), block.begin(), block.end());
        RgbaImage bc5;
        ASSERT_TRUE(
            pictavo::DecodeLevel(*FindFormat(pictavo::kFormatBc5Signed), 4, 1, bc5Block, bc5));
        for (int i = 0; i < 4; ++i) {
            const int v = expected[static_cast<std::size_t>(i)];
            EXPECT_EQ(Bytes(bc4.pixels.begin() + 4 * i, bc4.pixels.begin() + 4 * i + 4),
                      (Bytes{std::uint8_t(v), std::uint8_t(v), std::uint8_t(v), 255}));
            EXPECT_EQ(Bytes(bc5.pixels.begin() + 4 * i, bc5.pixels.begin() + 4 * i + 4),
                      (Bytes{std::uint8_t(v), std::uint8_t(v), 0, 255}));
        }
    }
}

// A DDS of one 8 x 8 level behind the extended header with this DXGI format.
Bytes Dx10File(std::uint32_t dxgi, int format) {
    Bytes file = pictavo::testing::MakeDds({FourCCOf("DX10"), format, 8, 8, 1});
    Bytes extended(20, 0);
    pictavo::testing::PutU32(extended, 0, dxgi);
    pictavo::testing::PutU32(extended, 4, 3); // a 2D texture
    pictavo::testing::PutU32(extended, 12, 1);
    file.insert(file.begin() + 128, extended.begin(), extended.end());
    return file;
}

TEST(BlockFormats, EveryFourCCAndDxgiFormatOfTheseFormatsIsRead) {
    struct Named {
        const char* fourCC;
        std::uint32_t dxgi;
        int format;
    };
    for (const Named& named :
         {Named{"ATI1", 79, pictavo::kFormatBc4}, Named{"BC4U", 80, pictavo::kFormatBc4},
          Named{"BC4S", 81, pictavo::kFormatBc4Signed}, Named{"ATI2", 82, pictavo::kFormatBc5},
          Named{"BC5U", 83, pictavo::kFormatBc5}, Named{"BC5S", 84, pictavo::kFormatBc5Signed},
          Named{"DX10", 97, pictavo::kFormatBc7}, Named{"DX10", 98, pictavo::kFormatBc7},
          Named{"DX10", 99, pictavo::kFormatBc7}}) {
        SCOPED_TRACE(std::string(named.fourCC) + " " + std::to_string(named.dxgi));
        std::vector<Bytes> files{Dx10File(named.dxgi, named.format)};
        if (std::string(named.fourCC) != "DX10") {
            files.push_back(
                pictavo::testing::MakeDds({FourCCOf(named.fourCC), named.format, 8, 8, 1}));
        }
        for (const Bytes& file : files) {
            Texture texture;
            ASSERT_EQ(pictavo::ReadTexture(file, texture), TextureError::kNone);
            EXPECT_EQ(texture.info.format, named.format);
            EXPECT_EQ(texture.Image(0), Bytes(file.end() - texture.Image(0).size(), file.end()));
        }
    }
}

TEST(BlockFormats, OtherPixelFormatsAreRefusedByName) {
    for (const auto& [dxgi, name] : {std::pair<std::uint32_t, const char*>{95, "BC6H_UF16"},
                                     {96, "BC6H_SF16"},
                                     {2, "R32G32B32A32_FLOAT"},
                                     {10, "R16G16B16A16_FLOAT"},
                                     {24, "R10G10B10A2_UNORM"},
                                     {26, "R11G11B10_FLOAT"},
                                     {67, "R9G9B9E5_SHAREDEXP"},
                                     {200, "DXGI format 200"}}) {
        Texture texture;
        ASSERT_EQ(pictavo::ReadTexture(Dx10File(dxgi, pictavo::kFormatDxt5), texture),
                  TextureError::kDdsFormat);
        EXPECT_NE(pictavo::FailureText(TextureError::kDdsFormat, texture.info).find(name),
                  std::string::npos)
            << name;
    }
    for (const auto& [fourCC, name] : {std::pair<std::uint32_t, const char*>{113, "A16B16G16R16F"},
                                       {FourCCOf("RXGB"), "\"RXGB\""},
                                       {FourCCOf("ATC "), "\"ATC \""}}) {
        Texture texture;
        ASSERT_EQ(pictavo::ReadTexture(pictavo::testing::MakeDds({fourCC, 13, 8, 8, 1}), texture),
                  TextureError::kDdsFormat);
        EXPECT_NE(pictavo::FailureText(TextureError::kDdsFormat, texture.info).find(name),
                  std::string::npos)
            << name;
    }
}

TEST(BlockFormats, TexturesOfTheseFormatsAreWrittenAsDdsAndRefusedAsIwi) {
    TempDir dir;
    // Each as our writer names it: the first FourCC of its format, BC7 by its DXGI format.
    for (const auto& [format, fourCC] : {std::pair<int, const char*>{pictavo::kFormatBc4, "ATI1"},
                                         {pictavo::kFormatBc4Signed, "BC4S"},
                                         {pictavo::kFormatBc5, "ATI2"},
                                         {pictavo::kFormatBc5Signed, "BC5S"},
                                         {pictavo::kFormatBc7, nullptr}}) {
        SCOPED_TRACE(FindFormat(format)->name);
        const Bytes source = fourCC == nullptr
                                 ? Dx10File(98, format)
                                 : pictavo::testing::MakeDds({FourCCOf(fourCC), format, 8, 8, 1});
        Texture texture;
        ASSERT_EQ(pictavo::ReadTexture(source, texture), TextureError::kNone);
        const std::string iwi = dir.File("refused.iwi");
        EXPECT_EQ(pictavo::WriteIwi(texture, 6, iwi), TextureError::kNoIwiFormat);
        EXPECT_FALSE(std::filesystem::exists(iwi));
        const std::string dds = dir.File("written.dds");
        ASSERT_EQ(pictavo::WriteDds(texture, dds), TextureError::kNone);
        EXPECT_EQ(pictavo::testing::ReadBytes(dds), source);
    }
}

// Pillow's own files of these formats, against the decodes its test suite keeps. A file
// without a decode of its own is held to its twin's under the other header: the BC5 twins
// hold the same blocks, the BC4 ones blocks of two encoders of the same picture.
TEST(BlockFormats, PillowsFilesDecodeAsItsReferencePictures) {
    const std::filesystem::path folder = pictavo::testing::CorpusDir() / "dds_bc_pillow";
    if (pictavo::testing::CorpusDir().empty() || !std::filesystem::exists(folder)) {
        GTEST_SKIP() << "the corpus of real files is absent (PICTAVO_CORPUS_DIR)";
    }
    struct Reference {
        const char* file;
        const char* png;
        int format;
        int channels; // compared from red on: Pillow's BC5 decodes differ in blue
        int tolerance = 0;
    };
    for (const Reference& reference : {
             Reference{"bc4_unorm.dds", "bc4_unorm.png", pictavo::kFormatBc4, 4},
             Reference{"bc4u.dds", "bc4_unorm.png", pictavo::kFormatBc4, 4, 16},
             Reference{"bc5_unorm.dds", "bc5_unorm.png", pictavo::kFormatBc5, 4},
             Reference{"bc5u.dds", "bc5_unorm.png", pictavo::kFormatBc5, 4},
             Reference{"bc5s.dds", "bc5s.png", pictavo::kFormatBc5Signed, 2},
             Reference{"bc5_snorm.dds", "bc5s.png", pictavo::kFormatBc5Signed, 2},
             Reference{"bc7-argb-8bpp_MipMaps-1.dds", "bc7-argb-8bpp_MipMaps-1.png",
                       pictavo::kFormatBc7, 4},
         }) {
        SCOPED_TRACE(reference.file);
        Texture texture;
        ASSERT_EQ(pictavo::ReadTexture((folder / reference.file).string(), texture),
                  TextureError::kNone);
        EXPECT_EQ(texture.info.format, reference.format);
        RgbaImage ours = DecodeLevel0(texture);
        RgbaImage theirs = pictavo::testing::ReadPicture(folder / reference.png);
        ASSERT_EQ(theirs.pixels.size(), ours.pixels.size());
        for (std::size_t i = 0; i < ours.pixels.size(); ++i) {
            if (static_cast<int>(i % 4) >= reference.channels) {
                ours.pixels[i] = theirs.pixels[i] = 0;
            }
        }
        EXPECT_TRUE(PixelsWithin(theirs.pixels, ours.pixels, ours.width, reference.tolerance));
    }
}

} // namespace
