#include "allocation_probe.h"
#include "external_tools.h"
#include "picture_files.h"
#include "pictures.h"
#include "texture/image_decode.h"
#include "texture_samples.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

using pictavo::RgbaImage;
using pictavo::TextureError;
using pictavo::testing::Bytes;

namespace {

Bytes Padded(Bytes bytes, std::size_t size) {
    bytes.resize(size, 0);
    return bytes;
}

void PutU32BE(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
    }
}

// An 18-byte TGA header: true colour, 24 bits, raw (2) or run-length (10).
Bytes TgaHeader(std::uint16_t width, std::uint16_t height, std::uint8_t type) {
    Bytes header(18);
    header[2] = type;
    pictavo::testing::PutU32(header, 12, width | (std::uint32_t{height} << 16));
    header[16] = 24;
    return header;
}

// A Photoshop file claiming a size, with the first bytes of its pixels.
Bytes PsdClaiming(std::uint32_t width, std::uint32_t height, bool packBits, std::size_t size) {
    RgbaImage one{1, 1, {1, 2, 3, 255}};
    Bytes psd = pictavo::testing::MakePsd(one, 3, packBits);
    PutU32BE(psd, 14, height);
    PutU32BE(psd, 18, width);
    return Padded(psd, size);
}

Bytes BmpClaiming(std::int32_t width, std::int32_t height, std::uint32_t compression) {
    Bytes bmp = Padded({'B', 'M'}, 100);
    pictavo::testing::PutU32(bmp, 10, 54);
    pictavo::testing::PutU32(bmp, 14, 40);
    pictavo::testing::PutU32(bmp, 18, static_cast<std::uint32_t>(width));
    pictavo::testing::PutU32(bmp, 22, static_cast<std::uint32_t>(height));
    bmp[26] = 1;
    bmp[28] = compression == 1 ? 8 : 24;
    pictavo::testing::PutU32(bmp, 30, compression);
    return bmp;
}

// Where a marker first occurs.
Bytes::iterator Find(Bytes& bytes, std::uint8_t marker) {
    const std::uint8_t pattern[] = {0xFF, marker};
    return std::search(bytes.begin(), bytes.end(), std::begin(pattern), std::end(pattern));
}

// A baseline JPEG whose first Huffman table counts more than 256 codes.
Bytes JpegWithOvercountedTable() {
    Bytes jpeg = pictavo::testing::MakeJpeg(pictavo::testing::TestPicture(16, 16, false), 90);
    const auto table = Find(jpeg, 0xC4);
    std::fill_n(table + 5, 16, 0xFF); // after marker, length and class
    return jpeg;
}

// A progressive 8 x 8 JPEG whose only scan uses a Huffman table that was never defined.
Bytes ProgressiveJpegWithoutTables() {
    Bytes jpeg{0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00};
    jpeg.insert(jpeg.end(), 64, 1);
    const Bytes rest{0xFF, 0xC2, 0x00, 0x0B, 8,    0,    8,    0,    8,   1,
                     1,    0x11, 0,    0xFF, 0xDA, 0x00, 0x08, 1,    1,   0x00,
                     0,    0,    0x00, 0x12, 0x34, 0x56, 0x78, 0xFF, 0xD9};
    jpeg.insert(jpeg.end(), rest.begin(), rest.end());
    return jpeg;
}

// A PNG claiming a size, with one tiny IDAT chunk.
Bytes PngClaiming(std::uint32_t width, std::uint32_t height) {
    Bytes header(13);
    PutU32BE(header, 0, width);
    PutU32BE(header, 4, height);
    header[8] = 8; // bits
    header[9] = 6; // RGBA
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const Bytes& chunk :
         {pictavo::testing::PngChunk("IHDR", header),
          pictavo::testing::PngChunk("IDAT", {0x78, 0x9C, 0x63, 0, 0, 0, 1, 0, 1}),
          pictavo::testing::PngChunk("IEND", {})}) {
        png.insert(png.end(), chunk.begin(), chunk.end());
    }
    return png;
}

struct Hostile {
    const char* name;
    std::function<Bytes()> make;
    const char* says;
    TextureError code;
};

void PrintTo(const Hostile& hostile, std::ostream* out) {
    *out << hostile.name;
}

const Hostile kHostile[] = {
    {"RunLengthTgaOverBudget", [] { return Padded(TgaHeader(38528, 3968, 10), 77); },
     "claims 38528 x 3968 pixels", TextureError::kTooLarge},
    {"RunLengthTgaTooShort", [] { return Padded(TgaHeader(4096, 4096, 10), 77); },
     "too short for the size it claims", TextureError::kTruncated},
    {"RawTgaTooShort", [] { return Padded(TgaHeader(64, 64, 2), 1000); }, "too short",
     TextureError::kTruncated},
    {"PsdOverBudget", [] { return PsdClaiming(4096, 62476, true, 514); },
     "claims 4096 x 62476 pixels", TextureError::kTooLarge},
    {"PackBitsPsdTooShort", [] { return PsdClaiming(4096, 4096, true, 514); }, "too short",
     TextureError::kTruncated},
    {"RawPsdTooShort", [] { return PsdClaiming(256, 256, false, 514); }, "too short",
     TextureError::kTruncated},
    {"PsdPackBitsRunPastItsChannel",
     [] {
         Bytes psd = PsdClaiming(4, 1, true, 60);
         std::fill(psd.begin() + 46, psd.end(), 0x81); // runs of 128, after the row table
         return psd;
     },
     "PackBits data is damaged", TextureError::kPictureDamaged},
    {"BmpTooShort", [] { return BmpClaiming(4096, -4096, 0); }, "too short",
     TextureError::kTruncated},
    {"BmpOverBudget", [] { return BmpClaiming(20000, 2, 0); }, "claims 20000 x 2 pixels",
     TextureError::kTooLarge},
    {"RunLengthBmp", [] { return BmpClaiming(4, 4, 1); }, "run-length encoded BMP",
     TextureError::kPictureKind},
    {"JpegHuffmanCountsOver256", JpegWithOvercountedTable, "Huffman table",
     TextureError::kPictureDamaged},
    {"ProgressiveJpegUndefinedTable", ProgressiveJpegWithoutTables,
     "Huffman table 0x00 was not defined", TextureError::kPictureDamaged},
    {"JpegCutShort",
     [] {
         Bytes jpeg = pictavo::testing::MakeJpeg(pictavo::testing::TestPicture(64, 64, false), 90);
         jpeg.resize(jpeg.size() / 2);
         return jpeg;
     },
     "Premature end", TextureError::kPictureDamaged},
    {"JpegOverBudget",
     [] {
         Bytes jpeg = pictavo::testing::MakeJpeg(pictavo::testing::TestPicture(8, 8, false), 90);
         const auto frame = Find(jpeg, 0xC0);
         frame[5] = frame[7] = 0xFF; // 65288 x 65288
         return jpeg;
     },
     "claims 65288 x 65288 pixels", TextureError::kTooLarge},
    {"PngTooShort", [] { return PngClaiming(8192, 8192); }, "too short", TextureError::kTruncated},
    {"PngOverBudget", [] { return PngClaiming(100000, 1); }, "claims 100000 x 1 pixels",
     TextureError::kTooLarge},
};

class HostilePicture : public ::testing::TestWithParam<Hostile> {};

TEST_P(HostilePicture, IsRefusedWithAReasonBeforeItsPixelsAreAllocated) {
    const Bytes bytes = GetParam().make();
    ASSERT_TRUE(pictavo::IsPicture(bytes));
    RgbaImage image;
    pictavo::testing::ResetLargestAllocation();
    const pictavo::Status decoded = pictavo::DecodePicture(bytes, image);
    EXPECT_LT(pictavo::testing::LargestAllocation(), std::size_t{1} << 20);
    ASSERT_FALSE(decoded);
    EXPECT_EQ(decoded.error().code, GetParam().code);
    EXPECT_NE(decoded.error().text.find(GetParam().says), std::string::npos)
        << decoded.error().text;
}

INSTANTIATE_TEST_SUITE_P(Pictures, HostilePicture, ::testing::ValuesIn(kHostile),
                         [](const auto& info) { return std::string(info.param.name); });

struct Good {
    const char* name;
    std::function<Bytes(const RgbaImage&)> make;
    // Applied by ImageMagick to the file first (another PNG layout), or empty.
    const char* rewrite;
};

void PrintTo(const Good& good, std::ostream* out) {
    *out << good.name;
}

const Good kGood[] = {
    {"PngRgba", [](const RgbaImage& p) { return pictavo::testing::MakePng(p, 4); }, ""},
    {"PngGreyAlpha", [](const RgbaImage& p) { return pictavo::testing::MakePng(p, 2); }, ""},
    {"PngGrey", [](const RgbaImage& p) { return pictavo::testing::MakePng(p, 1); }, ""},
    {"Png16Bit", [](const RgbaImage& p) { return pictavo::testing::MakePng(p, 4); }, "PNG64:"},
    {"PngPalette", [](const RgbaImage& p) { return pictavo::testing::MakePng(p, 3); }, "PNG8:"},
    {"PngInterlaced", [](const RgbaImage& p) { return pictavo::testing::MakePng(p, 3); },
     "-interlace PNG PNG24:"},
    {"Jpeg", [](const RgbaImage& p) { return pictavo::testing::MakeJpeg(p, 85); }, ""},
    {"JpegProgressive", [](const RgbaImage& p) { return pictavo::testing::MakeJpeg(p, 85); },
     "-interlace JPEG JPEG:"},
    {"TgaRunLength", [](const RgbaImage& p) { return pictavo::testing::MakeTga(p, 4, true); }, ""},
    {"TgaRaw", [](const RgbaImage& p) { return pictavo::testing::MakeTga(p, 3, false); }, ""},
    {"Bmp", [](const RgbaImage& p) { return pictavo::testing::MakeBmp(p); }, ""},
    {"PsdRaw", [](const RgbaImage& p) { return pictavo::testing::MakePsd(p, 3, false); }, ""},
    {"PsdPackBits", [](const RgbaImage& p) { return pictavo::testing::MakePsd(p, 3, true); }, ""},
};

class GoodPicture : public ::testing::TestWithParam<Good> {};

TEST_P(GoodPicture, ReadsAsImageMagickReadsIt) {
    if (!pictavo::testing::ToolInstalled("convert")) {
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    }
    pictavo::testing::TempDir dir;
    const RgbaImage picture = pictavo::testing::TestPicture(61, 23, true);
    // ImageMagick knows TGA files by their names alone.
    std::string file = dir.File("picture.tga");
    pictavo::testing::WriteBytes(file, GetParam().make(picture));
    if (*GetParam().rewrite != '\0') {
        const std::string rewritten = dir.File("rewritten.tga");
        const std::string command = "convert " + pictavo::testing::Quoted(file) + " " +
                                    GetParam().rewrite + pictavo::testing::Quoted(rewritten);
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        file = rewritten;
    }
    RgbaImage image;
    const pictavo::Status decoded =
        pictavo::DecodePicture(pictavo::testing::ReadBytes(file), image);
    ASSERT_TRUE(decoded) << decoded.error().text;
    EXPECT_EQ(image.width, picture.width);
    EXPECT_EQ(image.height, picture.height);
    // ImageMagick keeps a TGA's rows in file order and notes which way up they are.
    const Bytes expected = pictavo::testing::ImageMagickPixels(dir, file, "-auto-orient");
    ASSERT_EQ(image.pixels.size(), expected.size());
    EXPECT_TRUE(image.pixels == expected);
}

INSTANTIATE_TEST_SUITE_P(Pictures, GoodPicture, ::testing::ValuesIn(kGood),
                         [](const auto& info) { return std::string(info.param.name); });

// Photoshop's merged picture is blended with white where alpha is partial; undoing that stays
// within range even for colours darker than any blend could give.
TEST(PsdPicture, WhiteMatteIsTakenOutWithinRange) {
    const RgbaImage picture{3, 1, {0, 0, 0, 1, 255, 255, 255, 1, 191, 128, 64, 128}};
    RgbaImage image;
    const pictavo::Status decoded =
        pictavo::DecodePicture(pictavo::testing::MakePsd(picture, 4, true), image);
    ASSERT_TRUE(decoded) << decoded.error().text;
    // 255 - (255 - value) * 255 / alpha, rounded, at least 0.
    EXPECT_EQ(image.pixels, (Bytes{0, 0, 0, 1, 255, 255, 255, 1, 127, 2, 0, 128}));
}

} // namespace
