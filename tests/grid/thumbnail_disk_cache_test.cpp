#include "grid/thumbnail_disk_cache.h"
#include "grid/thumbnail_file.h"
#include "image_files.h"

#include <gtest/gtest.h>

namespace pictavo {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

GridThumbnail Flat(std::uint8_t value) {
    GridThumbnail thumbnail;
    thumbnail.image.width = 8;
    thumbnail.image.height = 8;
    thumbnail.image.pixels.assign(8 * 8 * 4, value);
    thumbnail.width = 64;
    thumbnail.height = 64;
    thumbnail.format = "DXT1";
    return thumbnail;
}

std::vector<fs::path> CacheFiles(const fs::path& folder) {
    std::vector<fs::path> files;
    if (fs::exists(folder)) {
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file())
                files.push_back(entry.path());
        }
    }
    return files;
}

std::uint64_t BytesOnDisk(const fs::path& folder) {
    std::uint64_t total = 0;
    for (const fs::path& file : CacheFiles(folder))
        total += fs::file_size(file);
    return total;
}

// The file holding `key`, found by reading each: the cache's naming stays its own.
fs::path FileHolding(const fs::path& folder, const std::string& key) {
    for (const fs::path& file : CacheFiles(folder)) {
        GridThumbnail read;
        if (DecodeThumbnailFile(testing::ReadBytes(file), key, read))
            return file;
    }
    return {};
}

TEST(ThumbnailDiskCache, KeepsThumbnailsUnderTheirKeysFromOneRunToTheNext) {
    const TempDir dir;
    const fs::path folder = dir.path() / "thumbnails";
    {
        ThumbnailDiskCache cache(folder, 1 << 20);
        cache.Store("wall", Flat(10));
        cache.Store("floor", Flat(20));
        EXPECT_EQ(cache.StoredBytes(), BytesOnDisk(folder));
    }
    ThumbnailDiskCache later(folder, 1 << 20);
    const std::optional<GridThumbnail> wall = later.Load("wall");
    ASSERT_TRUE(wall.has_value());
    EXPECT_EQ(wall->image.pixels, Flat(10).image.pixels);
    EXPECT_EQ(wall->format, "DXT1");
    EXPECT_EQ(later.Load("floor")->image.pixels, Flat(20).image.pixels);
    EXPECT_FALSE(later.Load("ceiling").has_value());
    EXPECT_EQ(CacheFiles(folder).size(), 2u);
    EXPECT_EQ(later.StoredBytes(), BytesOnDisk(folder));
}

TEST(ThumbnailDiskCache, PastItsLimitRemovesTheThumbnailsUsedLongestAgo) {
    const TempDir dir;
    const fs::path folder = dir.path() / "thumbnails";
    std::uint64_t each = 0;
    {
        ThumbnailDiskCache probe(dir.path() / "probe", 1 << 20);
        probe.Store("key-0", Flat(7));
        each = probe.StoredBytes();
    }
    ASSERT_GT(each, 0u);
    // Room for three and a half: a fourth takes it over, and trimming to nine tenths of the
    // limit removes one.
    ThumbnailDiskCache cache(folder, each * 7 / 2);
    const auto now = fs::file_time_type::clock::now();
    for (int i = 0; i < 3; ++i) {
        const std::string key = "key-" + std::to_string(i);
        cache.Store(key, Flat(7));
        fs::last_write_time(FileHolding(folder, key), now - std::chrono::hours(3 - i));
    }
    // Used now, the oldest becomes the newest; key-1 is then the one used longest ago.
    ASSERT_TRUE(cache.Load("key-0").has_value());
    cache.Store("key-3", Flat(7));

    EXPECT_TRUE(FileHolding(folder, "key-1").empty());
    for (const char* kept : {"key-0", "key-2", "key-3"})
        EXPECT_FALSE(FileHolding(folder, kept).empty()) << kept;
    EXPECT_EQ(cache.StoredBytes(), 3 * each);
    EXPECT_EQ(BytesOnDisk(folder), 3 * each);
}

TEST(ThumbnailDiskCache, DropsADamagedFileAndClearsEverything) {
    const TempDir dir;
    const fs::path folder = dir.path() / "thumbnails";
    ThumbnailDiskCache cache(folder, 1 << 20);
    for (int i = 0; i < 5; ++i)
        cache.Store("key-" + std::to_string(i), Flat(static_cast<std::uint8_t>(i)));
    const fs::path damaged = FileHolding(folder, "key-2");
    ASSERT_FALSE(damaged.empty());
    fs::resize_file(damaged, fs::file_size(damaged) / 2);
    EXPECT_FALSE(cache.Load("key-2").has_value());
    EXPECT_FALSE(fs::exists(damaged));
    EXPECT_EQ(CacheFiles(folder).size(), 4u);

    cache.Clear();
    EXPECT_TRUE(CacheFiles(folder).empty());
    EXPECT_EQ(cache.StoredBytes(), 0u);
    EXPECT_FALSE(cache.Load("key-0").has_value());
}

} // namespace
} // namespace pictavo
