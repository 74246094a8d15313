#include "view/channel_view.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

int ChosenCount(Channels channels) {
    return int(channels.red) + int(channels.green) + int(channels.blue) + int(channels.alpha);
}

int OnlyChannelIndex(Channels channels) {
    return channels.red ? 0 : channels.green ? 1 : channels.blue ? 2 : 3;
}

} // namespace

void ShowChannels(const pictavo::RgbaImage& image, Channels channels, ChannelImage& out) {
    const std::vector<std::uint8_t>& in = image.pixels;
    out.pixels.resize(in.size());
    out.translucent = false;
    std::uint8_t* to = out.pixels.data();
    const std::size_t size = in.size() - in.size() % 4;

    if (ChosenCount(channels) == 1) {
        const std::size_t index = std::size_t(OnlyChannelIndex(channels));
        for (std::size_t i = 0; i < size; i += 4) {
            const std::uint8_t value = in[i + index];
            to[i] = to[i + 1] = to[i + 2] = value;
            to[i + 3] = 255;
        }
        return;
    }
    // A mask per byte: the loop stays branch-free and the compiler vectorises it.
    const std::array<std::uint8_t, 4> keep{
        std::uint8_t(channels.red ? 0xFF : 0), std::uint8_t(channels.green ? 0xFF : 0),
        std::uint8_t(channels.blue ? 0xFF : 0), std::uint8_t(channels.alpha ? 0xFF : 0)};
    const std::uint8_t opaque = channels.alpha ? 0 : 0xFF;
    std::uint8_t lowestAlpha = 0xFF;
    for (std::size_t i = 0; i < size; i += 4) {
        to[i] = in[i] & keep[0];
        to[i + 1] = in[i + 1] & keep[1];
        to[i + 2] = in[i + 2] & keep[2];
        to[i + 3] = std::uint8_t((in[i + 3] & keep[3]) | opaque);
        lowestAlpha = std::min(lowestAlpha, to[i + 3]);
    }
    out.translucent = lowestAlpha != 0xFF;
}

std::array<SwizzleSource, 4> ChannelSwizzle(Channels channels) {
    using enum SwizzleSource;
    if (ChosenCount(channels) == 1) {
        constexpr std::array<SwizzleSource, 4> kSources{kRed, kGreen, kBlue, kAlpha};
        const SwizzleSource grey = kSources[std::size_t(OnlyChannelIndex(channels))];
        return {grey, grey, grey, kOne};
    }
    return {channels.red ? kRed : kZero, channels.green ? kGreen : kZero,
            channels.blue ? kBlue : kZero, channels.alpha ? kAlpha : kOne};
}

bool ShowsTranslucent(Channels channels, std::uint8_t lowestAlpha) {
    return ChosenCount(channels) > 1 && channels.alpha && lowestAlpha != 0xFF;
}

std::uint8_t LowestAlpha(const pictavo::RgbaImage& image) {
    std::uint8_t lowest = 0xFF;
    const std::size_t size = image.pixels.size() - image.pixels.size() % 4;
    for (std::size_t i = 3; i < size; i += 4) {
        lowest = std::min(lowest, image.pixels[i]);
    }
    return lowest;
}
