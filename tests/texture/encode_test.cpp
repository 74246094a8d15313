#include "pictures.h"
#include "texture/decode.h"
#include "texture/encode.h"
#include "texture/mipmaps.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using pictavo::MipFilter;
using pictavo::RgbaImage;

RgbaImage Pixels(std::uint32_t width, std::uint32_t height, std::vector<std::uint8_t> rgba) {
    return RgbaImage{width, height, std::move(rgba)};
}

TEST(MipChain, FiltersInTheirOwnSpace) {
    struct Case {
        const char* name;
        RgbaImage image;
        MipFilter filter;
        std::vector<std::uint8_t> expected;
    };
    const Case cases[] = {
        // Half black, half white is half the light: sRGB 188, not 128; alpha as stored.
        {"colour",
         Pixels(2, 1, {0, 0, 0, 0, 255, 255, 255, 255}),
         MipFilter::kColour,
         {188, 188, 188, 128}},
        // Odd sides: the single pixel averages all three.
        {"odd",
         Pixels(3, 1, {255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255}),
         MipFilter::kColour,
         {255, 0, 0, 255}},
        // +X and +Y average to a unit vector between them, not a shorter one.
        {"normals",
         Pixels(2, 1, {255, 128, 128, 255, 128, 255, 128, 255}),
         MipFilter::kNormalMap,
         {218, 218, 128, 255}},
        // Opposite normals cancel: the result faces outwards.
        {"opposite",
         Pixels(2, 1, {255, 128, 128, 255, 0, 128, 128, 255}),
         MipFilter::kNormalMap,
         {128, 128, 255, 255}},
    };
    for (const Case& c : cases) {
        const RgbaImage half = pictavo::HalveImage(c.image, c.filter);
        EXPECT_EQ(half.width, 1u) << c.name;
        EXPECT_EQ(half.pixels, c.expected) << c.name;
    }
    const std::vector<RgbaImage> chain =
        pictavo::MakeMipChain(pictavo::testing::TestPicture(300, 5, false), MipFilter::kColour);
    ASSERT_EQ(chain.size(), 9u);
    EXPECT_EQ(chain[2].width, 75u);
    EXPECT_EQ(chain[2].height, 1u);
    EXPECT_EQ(chain.back().width, 1u);
}

TEST(EncodeLevel, EachFormatDecodesBackToThePicture) {
    struct Case {
        pictavo::FormatCode format;
        pictavo::EncodeQuality quality;
        double minimumPsnr;
    };
    std::vector<Case> cases{{pictavo::kFormatBgra8, pictavo::EncodeQuality::kFast, INFINITY},
                            {pictavo::kFormatBgr8, pictavo::EncodeQuality::kFast, INFINITY},
                            {pictavo::kFormatDxt1, pictavo::EncodeQuality::kFast, 30},
                            {pictavo::kFormatDxt3, pictavo::EncodeQuality::kFast, 30},
                            {pictavo::kFormatDxt5, pictavo::EncodeQuality::kFast, 32}};
    if (pictavo::BestQualityAvailable()) {
        for (const auto format :
             {pictavo::kFormatDxt1, pictavo::kFormatDxt3, pictavo::kFormatDxt5}) {
            cases.push_back({format, pictavo::EncodeQuality::kBest, 30});
        }
    }
    // Sides that are no multiple of 4 fill their edge blocks from the edge pixels.
    const RgbaImage picture = pictavo::testing::TestPicture(37, 21, true);
    for (const Case& c : cases) {
        const bool opaque = c.format == pictavo::kFormatBgr8 || c.format == pictavo::kFormatDxt1;
        RgbaImage source = picture;
        for (std::size_t i = 3; opaque && i < source.pixels.size(); i += 4) {
            source.pixels[i] = 255;
        }
        std::vector<std::uint8_t> stored;
        ASSERT_TRUE(pictavo::EncodeLevel(source, c.format, c.quality, stored)) << int(c.format);
        RgbaImage decoded;
        ASSERT_TRUE(pictavo::DecodeLevel(*pictavo::FindFormat(c.format), 37, 21, stored, decoded));
        EXPECT_GE(pictavo::testing::Psnr(decoded, source), c.minimumPsnr) << int(c.format);
    }
    std::vector<std::uint8_t> stored;
    EXPECT_FALSE(
        pictavo::EncodeLevel(picture, pictavo::kFormatLa8, pictavo::EncodeQuality::kFast, stored));
    EXPECT_EQ(pictavo::AutoFormat(picture), pictavo::kFormatDxt5);
}

} // namespace
