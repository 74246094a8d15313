#include "view/channel_view.h"
#include "view/texel_readout.h"

#include <array>
#include <gtest/gtest.h>
#include <vector>

namespace {

using Pixels = std::vector<std::uint8_t>;

struct ChannelCase {
    const char* name;
    Channels channels;
    Pixels expected; // for the two pixels below
    bool translucent;
};

void PrintTo(const ChannelCase& c, std::ostream* out) {
    *out << c.name;
}

class ShowChannelsTest : public testing::TestWithParam<ChannelCase> {};

TEST_P(ShowChannelsTest, DrawsWhatTheChoiceAsksFor) {
    pictavo::RgbaImage image{2, 1, {10, 20, 30, 255, 200, 150, 100, 40}};
    ChannelImage shown;
    shown.translucent = !GetParam().translucent; // must be set either way
    ShowChannels(image, GetParam().channels, shown);
    EXPECT_EQ(shown.pixels, GetParam().expected);
    EXPECT_EQ(shown.translucent, GetParam().translucent);
}

// What a texture swizzle makes of the level's own pixels.
Pixels Swizzled(const Pixels& pixels, const std::array<SwizzleSource, 4>& swizzle) {
    Pixels out;
    for (std::size_t at = 0; at < pixels.size(); at += 4) {
        for (const SwizzleSource source : swizzle) {
            switch (source) {
            case SwizzleSource::kZero:
                out.push_back(0);
                break;
            case SwizzleSource::kOne:
                out.push_back(255);
                break;
            default:
                out.push_back(pixels[at + std::size_t(int(source) - int(SwizzleSource::kRed))]);
            }
        }
    }
    return out;
}

TEST_P(ShowChannelsTest, TheSwizzleShowsWhatThePreparedPixelsShow) {
    const pictavo::RgbaImage image{2, 1, {10, 20, 30, 255, 200, 150, 100, 40}};
    EXPECT_EQ(Swizzled(image.pixels, ChannelSwizzle(GetParam().channels)), GetParam().expected);
    EXPECT_EQ(ShowsTranslucent(GetParam().channels, LowestAlpha(image)), GetParam().translucent);
    EXPECT_FALSE(ShowsTranslucent(GetParam().channels, 255)) << "an opaque level";
}

INSTANTIATE_TEST_SUITE_P(
    Choices, ShowChannelsTest,
    testing::Values(
        ChannelCase{"all", kAllChannels, {10, 20, 30, 255, 200, 150, 100, 40}, true},
        ChannelCase{"colour", kColourWithoutAlpha, {10, 20, 30, 255, 200, 150, 100, 255}, false},
        ChannelCase{
            "red", {true, false, false, false}, {10, 10, 10, 255, 200, 200, 200, 255}, false},
        ChannelCase{
            "green", {false, true, false, false}, {20, 20, 20, 255, 150, 150, 150, 255}, false},
        ChannelCase{
            "blue", {false, false, true, false}, {30, 30, 30, 255, 100, 100, 100, 255}, false},
        ChannelCase{
            "alpha", {false, false, false, true}, {255, 255, 255, 255, 40, 40, 40, 255}, false},
        ChannelCase{
            "red and blue", {true, false, true, false}, {10, 0, 30, 255, 200, 0, 100, 255}, false},
        ChannelCase{
            "green with alpha", {false, true, false, true}, {0, 20, 0, 255, 0, 150, 0, 40}, true},
        ChannelCase{"none", {false, false, false, false}, {0, 0, 0, 255, 0, 0, 0, 255}, false}));

TEST(ShowChannelsTest, AnOpaqueImageWithAlphaShownIsNotTranslucent) {
    pictavo::RgbaImage image{1, 2, {1, 2, 3, 255, 4, 5, 6, 255}};
    ChannelImage shown;
    ShowChannels(image, kAllChannels, shown);
    EXPECT_FALSE(shown.translucent);
    EXPECT_EQ(shown.pixels, image.pixels);
}

TEST(TexelReadoutTest, PositionDecimalAndHex) {
    EXPECT_EQ(FormatTexelReadout({{12, 40}, {255, 128, 0, 255}}),
              "x 12, y 40   R 255 G 128 B 0 A 255   #FF8000FF");
    EXPECT_EQ(FormatTexelReadout({{4095, 0}, {1, 10, 171, 0}}),
              "x 4095, y 0   R 1 G 10 B 171 A 0   #010AAB00");
}

} // namespace
