#include "grid/thumbnail_file.h"

#include <gtest/gtest.h>

namespace pictavo {
namespace {

GridThumbnail Sample(std::uint32_t width = 3, std::uint32_t height = 2) {
    GridThumbnail thumbnail;
    thumbnail.image.width = width;
    thumbnail.image.height = height;
    for (std::uint32_t i = 0; i < width * height * 4; ++i)
        thumbnail.image.pixels.push_back(static_cast<std::uint8_t>(i * 37 + 5));
    thumbnail.width = 512;
    thumbnail.height = 256;
    thumbnail.faces = 6;
    thumbnail.format = "DXT5";
    thumbnail.warning = "Cut short.";
    return thumbnail;
}

constexpr char kKey[] = "file\n/games/wall.iwi\n4096\n123456789\n128";

// Where the key's length is stored: after the magic and the version.
constexpr std::size_t kKeyLengthAt = 8;

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

TEST(ThumbnailFile, GivesBackWhatWasStoredUnderItsKeyOnly) {
    const GridThumbnail stored = Sample();
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(EncodeThumbnailFile(kKey, stored, bytes));
    GridThumbnail read;
    ASSERT_TRUE(DecodeThumbnailFile(bytes, kKey, read));
    EXPECT_EQ(read.image.width, 3u);
    EXPECT_EQ(read.image.height, 2u);
    EXPECT_EQ(read.image.pixels, stored.image.pixels);
    EXPECT_EQ(read.width, 512u);
    EXPECT_EQ(read.height, 256u);
    EXPECT_EQ(read.faces, 6u);
    EXPECT_EQ(read.format, "DXT5");
    EXPECT_EQ(read.warning, "Cut short.");

    const std::string key = kKey;
    for (const std::string& other : {key.substr(0, key.size() - 1), key + "0", std::string()}) {
        GridThumbnail untouched;
        EXPECT_FALSE(DecodeThumbnailFile(bytes, other, untouched)) << other;
        EXPECT_TRUE(untouched.image.pixels.empty());
    }
}

TEST(ThumbnailFile, RefusesEveryTruncationAndEveryLyingField) {
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(EncodeThumbnailFile(kKey, Sample(), bytes));
    GridThumbnail read;
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        EXPECT_FALSE(DecodeThumbnailFile(std::span(bytes).first(size), kKey, read)) << size;
    }

    const std::size_t formatLengthAt = kKeyLengthAt + 4 + std::string(kKey).size() + 12;
    const std::size_t warningLengthAt = formatLengthAt + 4 + std::string("DXT5").size();
    const std::size_t pngLengthAt = warningLengthAt + 4 + std::string("Cut short.").size();
    struct Lie {
        const char* what;
        std::size_t at;
        std::uint32_t value;
    };
    const Lie lies[] = {
        {"magic", 0, 0x54767450},
        {"the version before", 4, 1},
        {"key length past the end", kKeyLengthAt, 0xffffffff},
        {"key length one short", kKeyLengthAt, std::uint32_t(std::string(kKey).size() - 1)},
        {"format length past the end", formatLengthAt, 0xfffffff0},
        {"format length beyond a format name", formatLengthAt, 60},
        {"warning length past the end", warningLengthAt, 0xfffffff0},
        {"PNG length past the end", pngLengthAt, std::uint32_t(bytes.size())},
    };
    for (const Lie& lie : lies) {
        std::vector<std::uint8_t> patched = bytes;
        PutU32(patched, lie.at, lie.value);
        EXPECT_FALSE(DecodeThumbnailFile(patched, kKey, read)) << lie.what;
    }
    std::vector<std::uint8_t> notPng = bytes;
    notPng[pngLengthAt + 4] ^= 0xff; // the PNG's signature
    EXPECT_FALSE(DecodeThumbnailFile(notPng, kKey, read));
}

TEST(ThumbnailFile, RefusesAPictureLargerThanAThumbnail) {
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(EncodeThumbnailFile(kKey, Sample(kMaxCachedSide + 1, 1), bytes));
    GridThumbnail read;
    EXPECT_FALSE(DecodeThumbnailFile(bytes, kKey, read));
    ASSERT_TRUE(EncodeThumbnailFile(kKey, Sample(kMaxCachedSide, 1), bytes));
    EXPECT_TRUE(DecodeThumbnailFile(bytes, kKey, read));
}

} // namespace
} // namespace pictavo
