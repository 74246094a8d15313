#include "archive/archive_update.h"
#include "archive/zip_archive.h"
#include "external_tools.h"
#include "zip_builder.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <zip.h>

namespace pictavo {
namespace {

using testing::Bytes;
using testing::RawZipEntries;
using testing::RawZipEntry;
using testing::TempDir;
using testing::ZipItem;

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

struct Put {
    std::string name;
    Bytes data;
};

// Puts each item into the archive at `path` in one commit, then checks what a modder relies
// on: every entry not put is stored exactly as before, each one put reads back whole through
// our reader and deflated, and unzip finds the archive sound.
void UpdateAndCheck(const std::filesystem::path& path, const std::vector<Put>& puts) {
    const TempDir staging;
    const std::map<std::string, RawZipEntry> before =
        std::filesystem::exists(path) ? RawZipEntries(path) : std::map<std::string, RawZipEntry>{};
    ArchiveUpdate update;
    ASSERT_EQ(testing::Why(update.Open(path.string())), "");
    std::map<std::string, Bytes> expected; // by folded name
    for (std::size_t i = 0; i < puts.size(); ++i) {
        const std::string file = staging.File(std::to_string(i));
        testing::WriteBytes(file, puts[i].data);
        ASSERT_EQ(testing::Why(update.PutFile(puts[i].name, file)), "");
        EXPECT_TRUE(update.Has(Lower(puts[i].name)));
        expected[Lower(puts[i].name)] = puts[i].data;
    }
    ASSERT_EQ(testing::Why(update.Commit()), "");
    EXPECT_EQ(update.Pending(), 0u);

    const std::map<std::string, RawZipEntry> after = RawZipEntries(path);
    for (const auto& [name, entry] : before) {
        ASSERT_EQ(after.count(name), 1u) << name;
        if (expected.count(Lower(name)) == 0) {
            EXPECT_EQ(after.at(name), entry) << name << " changed";
        }
    }
    ZipArchive archive;
    ASSERT_EQ(testing::Why(archive.Open(path.string())), "");
    std::size_t found = 0;
    for (const ArchiveEntry& entry : archive.Entries()) {
        const auto put = expected.find(Lower(entry.name));
        if (put == expected.end()) {
            continue;
        }
        ++found;
        Bytes bytes;
        ASSERT_EQ(testing::Why(archive.Read(entry, bytes)), "") << entry.name;
        EXPECT_EQ(bytes, put->second) << entry.name;
        EXPECT_EQ(after.at(entry.name).method, ZIP_CM_DEFLATE) << entry.name;
    }
    EXPECT_EQ(found, expected.size());
    EXPECT_EQ(
        after.size(), before.size() + expected.size() - [&] {
            std::size_t replaced = 0;
            for (const auto& [name, entry] : before) {
                replaced += expected.count(Lower(name));
            }
            return replaced;
        }());
    if (testing::ToolInstalled("unzip")) {
        EXPECT_EQ(std::system(("unzip -tqq " + testing::Quoted(path.string())).c_str()), 0);
    }
}

const std::vector<ZipItem> kMod = {
    {"images/a.iwi", testing::PatternLevel(5000, 1)},
    {"images/B.iwi", testing::PatternLevel(3000, 2)},
    {"sound/x.wav", testing::PatternLevel(700, 3), true},
    {"readme.txt", Bytes(400, 'x')},
};

TEST(ArchiveUpdate, PutsEntriesAndLeavesTheOthersAsTheyWere) {
    const struct {
        const char* what;
        bool existing;
        std::vector<Put> puts;
    } cases[] = {
        {"a new entry", true, {{"images/new.iwi", testing::PatternLevel(9000, 4)}}},
        {"an entry replaced, case aside", true, {{"images/b.iwi", Bytes(100, 1)}}},
        {"a tree of entries",
         true,
         {{"images/sub/c.iwi", Bytes(10, 2)}, {"images/a.iwi", testing::PatternLevel(64, 5)}}},
        {"a new archive", false, {{"images/new.iwi", Bytes(20000, 9)}}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        const TempDir dir;
        const std::filesystem::path path = dir.path() / "mod.iwd";
        if (test.existing) {
            testing::WriteZip(path, kMod);
        }
        UpdateAndCheck(path, test.puts);
    }
}

TEST(ArchiveUpdate, RealTexturesArchiveKeepsItsEntries) {
    const std::filesystem::path corpus = testing::CorpusDir();
    if (corpus.empty()) {
        GTEST_SKIP() << "no folder of real game files";
    }
    // The corpus holds loose images: made into a mod's archive the way the games' are,
    // deflated under images/.
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(corpus / "cod4_v6")) {
        if (entry.path().extension() == ".iwi") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    std::vector<ZipItem> items;
    for (const std::filesystem::path& file : files) {
        items.push_back({"images/" + file.filename().string(), testing::ReadBytes(file)});
    }
    ASSERT_GE(items.size(), 2u);
    const TempDir dir;
    const std::filesystem::path path = dir.path() / "iw_real.iwd";
    testing::WriteZip(path, items);
    UpdateAndCheck(path, {{items.front().name, items.back().data},
                          {"images/painted.iwi", items.front().data}});
}

TEST(ArchiveUpdate, CommitsOneBatchAfterAnother) {
    const TempDir dir;
    const std::filesystem::path path = dir.path() / "mod.iwd";
    testing::WriteZip(path, kMod);
    UpdateAndCheck(path, {{"images/first.iwi", Bytes(300, 1)}});
    UpdateAndCheck(path, {{"images/second.iwi", Bytes(300, 2)}});
    UpdateAndCheck(path, {{"images/FIRST.iwi", Bytes(50, 3)}});
}

TEST(ArchiveUpdate, FailuresLeaveTheArchiveAsItWas) {
    const TempDir dir;
    const std::filesystem::path path = dir.path() / "mod.iwd";
    testing::WriteZip(path, kMod);
    const Bytes before = testing::ReadBytes(path);

    ArchiveUpdate update;
    ASSERT_EQ(testing::Why(update.Open(path.string())), "");
    for (const char* name : {"../x.iwi", "/x.iwi", "images\\x.iwi", "images/", ""}) {
        EXPECT_FALSE(update.PutFile(name, dir.File("any"))) << name;
    }
    EXPECT_EQ(update.Pending(), 0u);
    ASSERT_TRUE(update.PutFile("images/gone.iwi", dir.File("missing")));
    const Status committed = update.Commit();
    ASSERT_FALSE(committed);
    EXPECT_NE(committed.error().text.find("missing"), std::string::npos) << committed.error().text;
    EXPECT_EQ(update.Pending(), 0u);
    EXPECT_EQ(testing::ReadBytes(path), before);

    testing::WriteBytes(dir.File("not.iwd"), Bytes(100, 'z'));
    const Status notZip = update.Open(dir.File("not.iwd"));
    ASSERT_FALSE(notZip);
    EXPECT_EQ(notZip.error().code, TextureError::kNotAnArchive);
    EXPECT_EQ(testing::ReadBytes(dir.File("not.iwd")), Bytes(100, 'z'));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

} // namespace
} // namespace pictavo
