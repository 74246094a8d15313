#include "external_tools.h"
#include "texture/image_encode.h"
#include "texture_samples.h"

#include <functional>
#include <gtest/gtest.h>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {

using pictavo::RgbaImage;
using pictavo::TextureInfo;
using pictavo::testing::Bytes;
using pictavo::testing::TempDir;

using Encoder = bool (*)(const RgbaImage&, std::vector<std::uint8_t>&);

// Level 0 of the first corpus texture of a format, decoded.
RgbaImage CorpusImage(int format) {
    const auto textures = pictavo::testing::ReadCorpusTextures(
        [format](const TextureInfo& info) { return info.format == format; });
    return textures.empty() ? RgbaImage() : pictavo::testing::DecodeLevel0(textures[0].texture);
}

// Encodes a corpus image with alpha (luminance and alpha, 1430 pixels wide) and an opaque one
// (RGB, 610 wide), and checks that stb_image and ImageMagick read back the same pixels, with
// alpha stored only where the image has some.
void CheckRoundTrips(Encoder encode, const std::string& extension) {
    const RgbaImage withAlpha = CorpusImage(pictavo::kFormatLa8);
    const RgbaImage opaque = CorpusImage(pictavo::kFormatBgr8);
    if (withAlpha.pixels.empty() || opaque.pixels.empty()) {
        GTEST_SKIP() << "the corpus of real files is absent (PICTAVO_CORPUS_DIR)";
    }
    const bool imageMagick = pictavo::testing::ToolInstalled("convert");
    TempDir dir;
    for (const auto& [image, channels] : {std::pair{&withAlpha, 4}, std::pair{&opaque, 3}}) {
        SCOPED_TRACE(std::to_string(image->width) + " x " + std::to_string(image->height));
        Bytes file;
        ASSERT_TRUE(encode(*image, file));

        int width = 0;
        int height = 0;
        int stored = 0;
        stbi_uc* pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width,
                                                &height, &stored, 4);
        ASSERT_NE(pixels, nullptr) << stbi_failure_reason();
        const Bytes loaded(pixels, pixels + static_cast<std::size_t>(width) * height * 4);
        stbi_image_free(pixels);
        EXPECT_EQ(stored, channels);
        EXPECT_EQ(static_cast<std::uint32_t>(width), image->width);
        EXPECT_EQ(static_cast<std::uint32_t>(height), image->height);
        EXPECT_TRUE(pictavo::testing::PixelsWithin(image->pixels, loaded, image->width, 0));

        if (imageMagick) {
            const std::string path = dir.File("encoded" + extension);
            pictavo::testing::WriteBytes(path, file);
            EXPECT_TRUE(pictavo::testing::PixelsWithin(
                image->pixels, pictavo::testing::ImageMagickPixels(dir, path), image->width, 0));
        }
    }
}

TEST(EncodePng, StbImageAndImageMagickReadBackTheCorpusPixels) {
    CheckRoundTrips(pictavo::EncodePng, ".png");
}

TEST(EncodeTga, StbImageAndImageMagickReadBackTheCorpusPixels) {
    CheckRoundTrips(pictavo::EncodeTga, ".tga");
}

TEST(EncodeTga, StoresUncompressedRowsTopFirstWithAlphaOnlyWhereThePictureHasSome) {
    // 5 x 3: rows of five pixels take the four-pixel steps and a lone last pixel.
    for (const bool alpha : {false, true}) {
        SCOPED_TRACE(alpha ? "alpha" : "opaque");
        RgbaImage image{5, 3, {}};
        for (unsigned i = 0; i < 15; ++i) {
            const unsigned a = alpha && i == 7 ? 128 : 255;
            image.pixels.insert(image.pixels.end(),
                                {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(100 + i),
                                 static_cast<std::uint8_t>(200 + i), static_cast<std::uint8_t>(a)});
        }
        // Uncompressed true colour, 5 x 3, 24 or 32 bits a pixel, top-left origin (with 8
        // alpha bits), then B, G, R (and A) of each pixel, the top row first.
        Bytes expected{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 3, 0};
        expected.push_back(alpha ? 32 : 24);
        expected.push_back(alpha ? 0x28 : 0x20);
        for (std::size_t p = 0; p < image.pixels.size(); p += 4) {
            expected.insert(expected.end(),
                            {image.pixels[p + 2], image.pixels[p + 1], image.pixels[p]});
            if (alpha) {
                expected.push_back(image.pixels[p + 3]);
            }
        }
        Bytes file;
        ASSERT_TRUE(pictavo::EncodeTga(image, file));
        EXPECT_EQ(file, expected);
    }
}

TEST(ImageEncode, RefusesImagesTheFormatsCannotHold) {
    for (const Encoder encode : {Encoder{pictavo::EncodePng}, Encoder{pictavo::EncodeTga}}) {
        Bytes file;
        EXPECT_FALSE(encode(RgbaImage{}, file));
        EXPECT_FALSE(encode(RgbaImage{2, 2, Bytes(15)}, file));
        EXPECT_TRUE(encode(RgbaImage{2, 2, Bytes(16)}, file));
    }
    // TGA sides are 16-bit; PNG takes the same image.
    const RgbaImage tall{1, 65536, Bytes(65536 * 4)};
    Bytes file;
    EXPECT_FALSE(pictavo::EncodeTga(tall, file));
    EXPECT_TRUE(pictavo::EncodePng(tall, file));
}

} // namespace
