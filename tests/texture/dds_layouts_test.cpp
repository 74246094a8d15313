#include "byte_order.h"
#include "dds_format_name.h"
#include "external_tools.h"
#include "pictures.h"
#include "texture/decode.h"
#include "texture/texture_reader.h"
#include "texture_layout.h"
#include "texture_samples.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <iostream>
#include <set>

namespace {

using pictavo::ReadTexture;
using pictavo::RgbaImage;
using pictavo::Texture;
using pictavo::TextureError;
using pictavo::testing::Bytes;

constexpr std::uint32_t kRgb = 0x40;
constexpr std::uint32_t kRgba = 0x41;
constexpr std::uint32_t kGrey = 0x20000;
constexpr std::uint32_t kGreyAlpha = 0x20001;
constexpr std::uint32_t kAlphaOnly = 0x2;

// An uncompressed layout as writers label it, its plain header, the DXGI format that holds
// the same behind a DX10 header (0: none), two stored pixels and what they mean in RGBA.
struct Layout {
    const char* name;
    std::uint32_t flags;
    std::uint32_t bits;
    std::array<std::uint32_t, 4> masks; // red (or grey), green, blue, alpha
    std::uint32_t dxgi;
    Bytes pixels;
    Bytes rgba;
};

const std::vector<Layout>& Layouts() {
    static const std::vector<Layout> layouts = {
        {"A8R8G8B8",
         kRgba,
         32,
         {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
         87,
         {0x10, 0x20, 0x30, 0x40, 0xFF, 0, 0, 0x80},
         {0x30, 0x20, 0x10, 0x40, 0, 0, 0xFF, 0x80}},
        {"X8R8G8B8",
         kRgb,
         32,
         {0xFF0000, 0xFF00, 0xFF, 0},
         88,
         {0x10, 0x20, 0x30, 0x40, 0xFF, 0, 0, 0},
         {0x30, 0x20, 0x10, 255, 0, 0, 0xFF, 255}},
        {"A8B8G8R8",
         kRgba,
         32,
         {0xFF, 0xFF00, 0xFF0000, 0xFF000000},
         28,
         {0x10, 0x20, 0x30, 0x40, 0xFF, 0, 0, 0x80},
         {0x10, 0x20, 0x30, 0x40, 0xFF, 0, 0, 0x80}},
        {"X8B8G8R8",
         kRgb,
         32,
         {0xFF, 0xFF00, 0xFF0000, 0},
         0,
         {0x10, 0x20, 0x30, 0x40, 0xFF, 0, 0, 0},
         {0x10, 0x20, 0x30, 255, 0xFF, 0, 0, 255}},
        {"R8G8B8",
         kRgb,
         24,
         {0xFF0000, 0xFF00, 0xFF, 0},
         0,
         {0x10, 0x20, 0x30, 0xFF, 0, 0},
         {0x30, 0x20, 0x10, 255, 0, 0, 0xFF, 255}},
        // 0x8408: red 16 of 31, green 32 of 63, blue 8 of 31.
        {"R5G6B5",
         kRgb,
         16,
         {0xF800, 0x07E0, 0x001F, 0},
         85,
         {0x08, 0x84, 0x1F, 0x00},
         {132, 130, 66, 255, 0, 0, 255, 255}},
        // 0x8408: alpha set, red 1, green 0, blue 8; 0x7C00: red 31, alpha clear.
        {"A1R5G5B5",
         kRgba,
         16,
         {0x7C00, 0x03E0, 0x001F, 0x8000},
         86,
         {0x08, 0x84, 0x00, 0x7C},
         {8, 0, 66, 255, 255, 0, 0, 0}},
        {"X1R5G5B5",
         kRgb,
         16,
         {0x7C00, 0x03E0, 0x001F, 0},
         0,
         {0x08, 0x84, 0xE0, 0x03},
         {8, 0, 66, 255, 0, 255, 0, 255}},
        // 0x1234: alpha 1, red 2, green 3, blue 4 of 15.
        {"A4R4G4B4",
         kRgba,
         16,
         {0x0F00, 0x00F0, 0x000F, 0xF000},
         115,
         {0x34, 0x12, 0x0F, 0xF0},
         {34, 51, 68, 17, 0, 0, 255, 255}},
        {"L8",
         kGrey,
         8,
         {0xFF, 0, 0, 0},
         61,
         {0x80, 0xFF},
         {128, 128, 128, 255, 255, 255, 255, 255}},
        {"A8L8",
         kGreyAlpha,
         16,
         {0xFF, 0, 0, 0xFF00},
         49,
         {0x80, 0x40, 0x00, 0xFF},
         {128, 128, 128, 64, 0, 0, 0, 255}},
        {"A8",
         kAlphaOnly,
         8,
         {0, 0, 0, 0xFF},
         65,
         {0x40, 0x00},
         {255, 255, 255, 64, 255, 255, 255, 0}},
        // 0x8000 is 128 of 255, 0x0101 is 1.
        {"L16",
         kGrey,
         16,
         {0xFFFF, 0, 0, 0},
         56,
         {0x00, 0x80, 0x01, 0x01},
         {128, 128, 128, 255, 1, 1, 1, 255}},
    };
    return layouts;
}

void Put(Bytes& file, std::size_t at, std::uint32_t value) {
    pictavo::WriteU32LE(file.data() + at, value);
}

// A DDS of `width` x `height` whose header describes `layout`, plainly or by its DXGI format,
// followed by `data`.
Bytes MakeFile(const Layout& layout, bool dx10, std::uint32_t width, std::uint32_t height,
               const Bytes& data, std::uint32_t levels = 1, bool cube = false) {
    Bytes file(dx10 ? 148 : 128);
    Put(file, 0, 0x20534444);
    Put(file, 4, 124);
    Put(file, 8, levels > 1 ? 0x21007 : 0x1007);
    Put(file, 12, height);
    Put(file, 16, width);
    Put(file, 28, levels);
    Put(file, 76, 32);
    Put(file, 108, 0x1000);
    Put(file, 112, cube ? 0xFE00 : 0);
    if (dx10) {
        Put(file, 80, 0x4);
        Put(file, 84, 0x30315844); // "DX10"
        Put(file, 128, layout.dxgi);
        Put(file, 132, 3); // 2D texture
        Put(file, 140, 1);
    } else {
        Put(file, 80, layout.flags);
        Put(file, 88, layout.bits);
        for (std::size_t i = 0; i < 4; ++i) {
            Put(file, 92 + 4 * i, layout.masks[i]);
        }
    }
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

RgbaImage DecodedLevel(const Texture& texture, std::uint32_t level, std::uint32_t face = 0) {
    RgbaImage image;
    EXPECT_TRUE(pictavo::DecodeLevel(
        *pictavo::FindFormat(texture.info.format), texture.info.LevelWidth(level),
        texture.info.LevelHeight(level), texture.Image(level, face), image));
    return image;
}

TEST(DdsLayouts, EachLayoutReadsAsItsMasksSayWithAndWithoutDx10Header) {
    for (const Layout& layout : Layouts()) {
        for (const bool dx10 : {false, true}) {
            if (dx10 && layout.dxgi == 0) {
                continue;
            }
            SCOPED_TRACE(std::string(layout.name) + (dx10 ? " behind DX10" : ""));
            Texture texture;
            ASSERT_EQ(ReadTexture(MakeFile(layout, dx10, 2, 1, layout.pixels), texture),
                      TextureError::kNone);
            EXPECT_EQ(DecodedLevel(texture, 0).pixels, layout.rgba);
            // The held levels are the format's own bytes, as every writer expects them.
            EXPECT_EQ(pictavo::TextureLayout::Of(texture.info).stored.bits, 0u);
            EXPECT_EQ(texture.Image(0).size(), texture.info.LevelBytes(0));
        }
    }
}

// Writers set more kinds of flags than one: the luminance flag makes grey whatever else is
// set, and either alpha flag makes the alpha mask count, alone or beside other channels.
TEST(DdsLayouts, FlagsOfMoreThanOneKindReadAsOtherToolsReadThem) {
    const Layout& l8 = Layouts()[9];
    const Layout& a8l8 = Layouts()[10];
    const Layout& a8 = Layouts()[11];
    const Layout& l16 = Layouts()[12];
    const Layout& a8r8g8b8 = Layouts()[0];
    const auto with = [](const Layout& layout, std::uint32_t flags) {
        Layout marked = layout;
        marked.flags = flags;
        return marked;
    };
    const Layout greyMarkedRgb[] = {with(l8, kGrey | kRgb), with(a8l8, kGreyAlpha | kRgb)};
    for (const Layout& layout : {
             greyMarkedRgb[0],
             greyMarkedRgb[1],
             with(l16, kGrey | kRgb),
             with(a8l8, kGrey | kAlphaOnly),
             with(a8, kAlphaOnly | kRgb),
             with(a8, kRgba),
             with(a8, 0x1),
             with(a8r8g8b8, kRgb | kAlphaOnly),
         }) {
        SCOPED_TRACE(std::string(layout.name) + " flags " + std::to_string(layout.flags));
        Texture texture;
        ASSERT_EQ(ReadTexture(MakeFile(layout, false, 2, 1, layout.pixels), texture),
                  TextureError::kNone);
        EXPECT_EQ(DecodedLevel(texture, 0).pixels, layout.rgba);
        EXPECT_EQ(texture.info.FormatText(), layout.name);
    }
    // Grey marked RGB as well, as a reader we did not write takes it.
    const std::string python = pictavo::testing::PythonWithPillow();
    if (python.empty()) {
        GTEST_SKIP() << "no Python 3 with Pillow (Debian's python3-pil)";
    }
    pictavo::testing::TempDir dir;
    for (const Layout& layout : greyMarkedRgb) {
        SCOPED_TRACE(std::string("Pillow, ") + layout.name);
        const std::string dds = dir.File("grey.dds");
        const std::string png = dir.File("pillow.png");
        pictavo::testing::WriteBytes(dds, MakeFile(layout, false, 2, 1, layout.pixels));
        const std::string command = python +
                                    " -c \"import sys; from PIL import Image; "
                                    "Image.open(sys.argv[1]).convert('RGBA').save(sys.argv[2])\" " +
                                    pictavo::testing::Quoted(dds) + " " +
                                    pictavo::testing::Quoted(png) + " >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0);
        EXPECT_EQ(pictavo::testing::ReadPicture(png).pixels, layout.rgba);
    }
}

// The panel and --info name what the file stores (R5G6B5, not the RGB8 it is unpacked into):
// a plain header's layout by its masks, most significant bits first as Direct3D names them,
// and one behind a DX10 header by its DXGI format; the name outlives the unpacking.
TEST(DdsLayouts, TheFormatNamedIsTheStoredLayout) {
    for (const Layout& layout : Layouts()) {
        for (const bool dx10 : {false, true}) {
            if (dx10 && layout.dxgi == 0) {
                continue;
            }
            SCOPED_TRACE(std::string(layout.name) + (dx10 ? " behind DX10" : ""));
            const Bytes file = MakeFile(layout, dx10, 2, 1, layout.pixels);
            const std::string expected =
                dx10 ? pictavo::dds::DxgiFormatName(layout.dxgi) : layout.name;
            pictavo::SpanSource source(file);
            pictavo::TextureInfo info;
            ASSERT_EQ(pictavo::ReadTextureInfo(source, info), TextureError::kNone);
            EXPECT_EQ(info.FormatText(), expected);
            Texture texture;
            ASSERT_EQ(ReadTexture(file, texture), TextureError::kNone);
            EXPECT_EQ(texture.info.FormatText(), expected);
        }
    }
    // Block formats keep their own names.
    Texture dxt5;
    ASSERT_EQ(
        ReadTexture(pictavo::testing::MakeDds({pictavo::testing::FourCCOf("DXT5"), 13}), dxt5),
        TextureError::kNone);
    EXPECT_EQ(dxt5.info.FormatText(), "DXT5");
}

TEST(DdsLayouts, LevelsAndFacesAreEachUnpackedFromTheirOwnPlace) {
    // R5G6B5, 4 x 2 with three levels on six faces: each level of each face one colour,
    // its blue the level's number and its red the face's.
    const Layout& r5g6b5 = Layouts()[5];
    Bytes data;
    for (std::uint16_t face = 0; face < 6; ++face) {
        for (const std::size_t pixels : {8, 2, 1}) {
            const auto level = static_cast<std::uint16_t>(pixels == 8 ? 0 : pixels == 2 ? 1 : 2);
            const auto value = static_cast<std::uint16_t>((face << 11) | level);
            for (std::size_t i = 0; i < pixels; ++i) {
                data.push_back(static_cast<std::uint8_t>(value));
                data.push_back(static_cast<std::uint8_t>(value >> 8));
            }
        }
    }
    Texture texture;
    ASSERT_EQ(ReadTexture(MakeFile(r5g6b5, false, 4, 2, data, 3, true), texture),
              TextureError::kNone);
    ASSERT_EQ(texture.info.faces, 6u);
    ASSERT_EQ(texture.info.levels, 3u);
    for (std::uint32_t face = 0; face < 6; ++face) {
        for (std::uint32_t level = 0; level < 3; ++level) {
            const RgbaImage image = DecodedLevel(texture, level, face);
            for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
                ASSERT_EQ(image.pixels[i], (face * 255 + 15) / 31) << face << " " << level;
                ASSERT_EQ(image.pixels[i + 2], (level * 255 + 15) / 31) << face << " " << level;
            }
        }
    }
    // One byte short of the last face's smallest level.
    data.pop_back();
    EXPECT_EQ(ReadTexture(MakeFile(r5g6b5, false, 4, 2, data, 3, true), texture),
              TextureError::kTruncated);
}

TEST(DdsLayouts, MasksThatAreNoChannelsAreRefused) {
    struct Case {
        const char* what;
        Layout layout;
    };
    const Bytes pixels(8, 0);
    for (const Case& c : {
             Case{"no masks", {"", kRgb, 32, {0, 0, 0, 0}, 0, pixels, {}}},
             Case{"12 bits", {"", kRgb, 12, {0xF00, 0xF0, 0xF, 0}, 0, pixels, {}}},
             Case{"split mask", {"", kRgb, 16, {0xF00F, 0x0FF0, 0, 0}, 0, pixels, {}}},
             Case{"mask past the pixel",
                  {"", kRgb, 16, {0xFF0000, 0xFF00, 0xFF, 0}, 0, pixels, {}}},
             Case{"24-bit channel", {"", kGrey, 32, {0xFFFFFF, 0, 0, 0}, 0, pixels, {}}},
             Case{"no flags", {"", 0, 32, {0xFF0000, 0xFF00, 0xFF, 0}, 0, pixels, {}}},
             Case{"unknown DXGI format", {"", 0, 0, {}, 2, pixels, {}}},
         }) {
        Texture texture;
        EXPECT_EQ(ReadTexture(MakeFile(c.layout, c.layout.dxgi != 0, 2, 1, pixels), texture),
                  TextureError::kDdsFormat)
            << c.what;
    }
}

TEST(DdsLayouts, VolumeTexturesAreRefusedAsSuch) {
    const Layout& a8r8g8b8 = Layouts()[0];
    const Bytes pixels(64, 0);
    Bytes volumeCaps = MakeFile(a8r8g8b8, false, 2, 2, pixels);
    Put(volumeCaps, 112, 0x200000);
    Bytes depth = MakeFile(a8r8g8b8, false, 2, 2, pixels);
    Put(depth, 8, 0x801007);
    Put(depth, 24, 4);
    Bytes texture3d = MakeFile(a8r8g8b8, true, 2, 2, pixels);
    Put(texture3d, 132, 4);
    for (const auto& [what, file] :
         {std::pair{"volume caps", volumeCaps}, {"depth 4", depth}, {"DX10 3D", texture3d}}) {
        Texture texture;
        EXPECT_EQ(ReadTexture(file, texture), TextureError::kDdsVolume) << what;
    }
    EXPECT_NE(std::string(pictavo::ErrorText(TextureError::kDdsVolume)).find("volume"),
              std::string::npos);
    // A depth of 1, or a depth without its flag, is a plain texture.
    Put(depth, 24, 1);
    Texture texture;
    EXPECT_EQ(ReadTexture(depth, texture), TextureError::kNone);
}

// Level 0 of every DDS file of the corpus, as we read it and as ImageMagick reads the file
// itself, once ImageMagick has shown that it reads the corpus's uncompressed layouts (B, G, R
// in bytes, with and without alpha) in the order they mean.
TEST(DdsLayouts, CorpusFilesAgreeWithImageMagick) {
    if (!pictavo::testing::ToolInstalled("convert")) {
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    }
    const auto isDds = [](const pictavo::TextureInfo& info) {
        return info.container == pictavo::Container::kDds;
    };
    const std::vector<pictavo::testing::CorpusTexture> textures =
        pictavo::testing::ReadCorpusTextures(isDds);
    if (textures.empty()) {
        GTEST_SKIP() << "the corpus of real files is absent (PICTAVO_CORPUS_DIR)";
    }
    pictavo::testing::TempDir dir;
    for (const std::size_t row : {0, 1, 4}) {
        const Layout& layout = Layouts()[row];
        const std::string probe = dir.File("probe.dds");
        pictavo::testing::WriteBytes(probe, MakeFile(layout, false, 2, 1, layout.pixels));
        ASSERT_EQ(pictavo::testing::ImageMagickPixels(dir, probe), layout.rgba) << layout.name;
    }
    // ImageMagick reads no DX10 header; those files are left out, and every kind must still be
    // compared.
    std::set<int> formats;
    for (const auto& sample : textures) {
        SCOPED_TRACE(sample.name);
        const std::string file = (pictavo::testing::CorpusDir() / sample.name).string() + "[0]";
        const Bytes reference = pictavo::testing::ImageMagickPixels(dir, file);
        if (reference.empty()) {
            std::cout << "ImageMagick cannot read " << sample.name << "\n";
            continue;
        }
        const RgbaImage ours = DecodedLevel(sample.texture, 0);
        EXPECT_TRUE(pictavo::testing::PixelsWithin(reference, ours.pixels, ours.width, 1));
        formats.insert(sample.texture.info.format);
    }
    EXPECT_EQ(formats,
              (std::set<int>{pictavo::kFormatBgra8, pictavo::kFormatBgr8, pictavo::kFormatDxt1,
                             pictavo::kFormatDxt3, pictavo::kFormatDxt5}));
}

} // namespace
