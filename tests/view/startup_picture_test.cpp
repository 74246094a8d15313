#include "dxt5_decoder.h"
#include "texture/decode.h"
#include "texture/texture.h"
#include "view/startup_picture.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace {

using pictavo::testing::DecodeDxt5;
using pictavo::testing::Texel;

int Luminance(const Texel& t) {
    return (299 * t.r + 587 * t.g + 114 * t.b) / 1000;
}

TEST(StartupPictureTest, IsOneLevelOf256By128Dxt5) {
    EXPECT_EQ(kStartupPictureWidth, 256);
    EXPECT_EQ(kStartupPictureHeight, 128);
    EXPECT_EQ(kStartupPicture.size(), std::size_t(256 / 4) * (128 / 4) * 16);
}

TEST(StartupPictureTest, ShowsTextOnADarkCardWithTransparentCorners) {
    const std::vector<Texel> texels = DecodeDxt5(kStartupPicture.data(), 256, 128);
    int bright = 0;
    int dark = 0;
    std::set<int> colours;
    for (const Texel& t : texels) {
        bright += Luminance(t) > 200 && t.a == 255;
        dark += Luminance(t) < 80 && t.a == 255;
        colours.insert(t.r << 16 | t.g << 8 | t.b);
    }
    EXPECT_GT(bright, 500) << "white lettering";
    EXPECT_GT(dark, 256 * 128 / 3) << "a dark card behind it";
    EXPECT_GT(colours.size(), 50u);
    // Rounded corners: the outermost corner texels are transparent, the centre is opaque.
    for (const auto& [x, y] : {std::pair{0, 0}, {255, 0}, {0, 127}, {255, 127}}) {
        EXPECT_EQ(texels[std::size_t(y) * 256 + x].a, 0) << x << ", " << y;
    }
    EXPECT_EQ(texels[64 * 256 + 128].a, 255);
}

TEST(StartupPictureTest, NameIsInTheUpperHalfAsDisplayed) {
    // Rows are stored bottom first; the large white name sits above the middle on screen,
    // so its bright texels are mostly in the second half of the rows.
    const std::vector<Texel> texels = DecodeDxt5(kStartupPicture.data(), 256, 128);
    int lower = 0;
    int upper = 0;
    for (int row = 0; row < 128; ++row) {
        for (int x = 128; x < 256; ++x) {
            const Texel& t = texels[std::size_t(row) * 256 + x];
            if (t.r > 220 && t.g > 220 && t.b > 220) {
                (row < 64 ? lower : upper) += 1;
            }
        }
    }
    EXPECT_GT(upper, 4 * lower);
}

TEST(StartupPictureTest, AsATextureItsRowsComeTopFirst) {
    const std::shared_ptr<const pictavo::Texture> texture = StartupTexture();
    ASSERT_EQ(texture->images.size(), 1u);
    pictavo::RgbaImage image;
    ASSERT_TRUE(pictavo::DecodeLevel(*pictavo::FindFormat(texture->info.format),
                                     texture->info.width, texture->info.height,
                                     texture->images.front(), image));
    ASSERT_EQ(image.width, 256u);
    ASSERT_EQ(image.height, 128u);
    const std::vector<Texel> stored = DecodeDxt5(kStartupPicture.data(), 256, 128);
    // Row y of the texture is row 127 - y as stored.
    for (const auto& [x, y] : {std::pair{0, 0}, {200, 30}, {128, 64}, {17, 127}, {255, 90}}) {
        const Texel& t = stored[std::size_t(127 - y) * 256 + x];
        const std::uint8_t* p = image.pixels.data() + (std::size_t(y) * 256 + x) * 4;
        EXPECT_EQ((std::vector<int>{p[0], p[1], p[2], p[3]}),
                  (std::vector<int>{t.r, t.g, t.b, t.a}))
            << x << ", " << y;
    }
}

} // namespace
