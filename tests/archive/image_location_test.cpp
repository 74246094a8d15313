#include "archive/archive_cache.h"
#include "archive/image_location.h"
#include "texture/utf8_path.h"
#include "zip_builder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <thread>
#include <zlib.h>

namespace pictavo {
namespace {

using testing::Bytes;

Bytes Content(int archive, int entry) {
    return testing::PatternLevel(100 + static_cast<std::size_t>(archive * 37 + entry), entry);
}

std::string EntryName(int entry) {
    return "images/" + std::to_string(entry) + ".iwi";
}

// Archives 0..count-1 of `entries` entries each, every entry's bytes told apart.
std::vector<std::string> MakeArchives(const testing::TempDir& dir, int count, int entries) {
    std::vector<std::string> paths;
    for (int a = 0; a < count; ++a) {
        std::vector<testing::ZipItem> items;
        for (int e = 0; e < entries; ++e) {
            items.push_back({EntryName(e), Content(a, e)});
        }
        paths.push_back(dir.File("iw_" + std::to_string(a) + ".iwd"));
        testing::WriteZip(paths.back(), items);
    }
    return paths;
}

TEST(ReadImageBytes, ReadsFilesAndEntriesAndSaysWhatIsMissing) {
    const testing::TempDir dir;
    const std::string archive = MakeArchives(dir, 1, 2).front();
    testing::WriteBytes(dir.path() / "loose.iwi", Content(5, 5));

    struct Case {
        ImageLocation where;
        Bytes expected;
        std::string error;
        TextureError code;
    };
    const std::vector<Case> cases = {
        {{"loose.iwi", dir.File("loose.iwi"), {}, {}}, Content(5, 5), {}, TextureError::kNone},
        {{"1.iwi", {}, archive, EntryName(1)}, Content(0, 1), {}, TextureError::kNone},
        {{"gone.iwi", dir.File("gone.iwi"), {}, {}},
         {},
         dir.File("gone.iwi") + ": ",
         TextureError::kOpen},
        {{"9.iwi", {}, archive, EntryName(9)},
         {},
         archive + ": images/9.iwi: no such entry",
         TextureError::kNoEntry},
        {{"1.iwi", {}, dir.File("gone.iwd"), EntryName(1)},
         {},
         "Cannot open ",
         TextureError::kOpen},
    };
    for (const Case& c : cases) {
        Bytes bytes{1, 2, 3};
        const Status read = ReadImageBytes(c.where, bytes);
        const std::string error = testing::Why(read);
        EXPECT_EQ(read ? TextureError::kNone : read.error().code, c.code) << error;
        EXPECT_EQ(bytes, c.expected);
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
        EXPECT_EQ(error.empty(), c.error.empty()) << error;
    }
}

TEST(ReadImageBytes, SeesAnArchiveRewrittenSinceItsLastRead) {
    const testing::TempDir dir;
    const std::string path = dir.File("iw_00.iwd");
    testing::WriteZip(path, {{"images/a.iwi", Bytes(10, 1)}});
    const ImageLocation where{"a.iwi", {}, path, "images/a.iwi"};
    Bytes bytes;
    ASSERT_EQ(testing::Why(ReadImageBytes(where, bytes)), "");
    testing::WriteZip(path, {{"images/b.iwi", Bytes(7, 3)}, {"images/a.iwi", Bytes(20, 2)}});
    ASSERT_EQ(testing::Why(ReadImageBytes(where, bytes)), "");
    EXPECT_EQ(bytes, Bytes(20, 2));
}

TEST(ArchiveCache, OpensEachArchiveOnceWhileItStaysInTheCache) {
    const testing::TempDir dir;
    const std::vector<std::string> paths = MakeArchives(dir, 3, 4);
    ArchiveCache cache(2);
    Bytes bytes;
    for (int e = 0; e < 4; ++e) {
        for (int a = 0; a < 2; ++a) {
            ASSERT_EQ(testing::Why(cache.Read(paths[a], EntryName(e), bytes)), "");
            EXPECT_EQ(bytes, Content(a, e));
        }
    }
    EXPECT_EQ(cache.Opens(), 2u);
    // A third archive pushes out the one used longest ago.
    ASSERT_EQ(testing::Why(cache.Read(paths[2], EntryName(0), bytes)), "");
    ASSERT_EQ(testing::Why(cache.Read(paths[1], EntryName(0), bytes)), "");
    EXPECT_EQ(cache.Opens(), 3u);
    ASSERT_EQ(testing::Why(cache.Read(paths[0], EntryName(0), bytes)), "");
    EXPECT_EQ(cache.Opens(), 4u);
}

TEST(ArchiveCache, StampsAnEntryWithItsArchivesSizeAndTimeAndItsOwnCrcAndSize) {
    const testing::TempDir dir;
    const std::string path = dir.File("iw_00.iwd");
    const Bytes first = Content(0, 1);
    testing::WriteZip(path, {{"images/a.iwi", first}, {"images/b.iwi", Content(0, 2)}});
    ArchiveCache cache(2);
    const Result<EntryStamp> stamped = cache.Stamp(path, "images/a.iwi");
    ASSERT_EQ(testing::Why(stamped), "");
    const EntryStamp& stamp = stamped.value();
    // zlib's own CRC of the bytes, not the one the archive code passes on.
    EXPECT_EQ(stamp.crc, crc32(0, first.data(), static_cast<uInt>(first.size())));
    EXPECT_EQ(stamp.size, first.size());
    EXPECT_EQ(stamp.archiveSize, std::filesystem::file_size(path));
    std::error_code statError;
    EXPECT_EQ(stamp.archiveModified, LastWriteTime(path, statError));

    EXPECT_EQ(testing::Why(cache.Stamp(path, "images/c.iwi")),
              path + ": images/c.iwi: no such entry");

    // Same size, other bytes: the CRC tells them apart.
    Bytes second = first;
    second[0] ^= 0xff;
    testing::WriteZip(path, {{"images/a.iwi", second}, {"images/b.iwi", Content(0, 2)}});
    const Result<EntryStamp> restamped = cache.Stamp(path, "images/a.iwi");
    ASSERT_EQ(testing::Why(restamped), "");
    const EntryStamp& rewritten = restamped.value();
    EXPECT_EQ(rewritten.size, stamp.size);
    EXPECT_EQ(rewritten.crc, crc32(0, second.data(), static_cast<uInt>(second.size())));
    EXPECT_NE(rewritten.crc, stamp.crc);
}

TEST(ArchiveCache, ThreadsReadTheRightBytesWhileArchivesComeAndGo) {
    const testing::TempDir dir;
    const std::vector<std::string> paths = MakeArchives(dir, 3, 8);
    ArchiveCache cache(2);
    std::vector<int> wrong(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 60; ++i) {
                const int a = (i + t) % 3;
                const int e = (i * 5 + t) % 8;
                Bytes bytes;
                wrong[t] += !cache.Read(paths[a], EntryName(e), bytes) || bytes != Content(a, e);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

} // namespace
} // namespace pictavo
