#include "archive/game_archives.h"
#include "zip_builder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace pictavo {
namespace {

using testing::Bytes;
using testing::WriteZip;

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// A game root whose main/ holds archives in an order case-sensitive sorting would get wrong.
class GameRoot : public ::testing::Test {
protected:
    GameRoot() : main_(dir_.path() / "main") {
        std::filesystem::create_directories(main_ / "folder.iwd");
        WriteZip(main_ / "iw_01.iwd", {{"images/a.iwi", Text("one")},
                                       {"images/b.iwi", Text("b")},
                                       {"images/Shared.IWI", Text("one")}});
        WriteZip(main_ / "IW_02.iwd", {{"images/a.iwi", Text("two")},
                                       {"Images/C.IWI", Text("c")},
                                       {"images/shared.iwi", Text("two")},
                                       {"images/readme.txt", Text("no")},
                                       {"images/sub/d.iwi", Text("no")},
                                       {"materials/e.iwi", Text("no")},
                                       {"f.iwi", Text("no")}});
        WriteZip(main_ / "iw_00.iwd", {{"images/a.iwi", Text("zero")}});
        testing::WriteBytes(main_ / "notes.txt", Text("not an archive"));
    }

    std::string Path(const std::string& name) const { return (main_ / name).string(); }

    testing::TempDir dir_;
    std::filesystem::path main_;
};

TEST_F(GameRoot, ArchivesComeInLoadOrder) {
    EXPECT_EQ(GameArchivePaths(dir_.path().string()),
              (std::vector<std::string>{Path("iw_00.iwd"), Path("iw_01.iwd"), Path("IW_02.iwd")}));
    EXPECT_TRUE(GameArchivePaths((dir_.path() / "main").string()).empty());
}

TEST_F(GameRoot, LaterArchivesWinAndOnlyImagesAreListed) {
    const GameArchiveListing listing = ListGameArchives(dir_.path().string());
    EXPECT_TRUE(listing.problems.empty());
    std::vector<std::string> rows;
    for (const ArchivedImage& image : listing.images) {
        rows.push_back(image.name + " " + image.entryName + " " +
                       std::filesystem::path(image.archivePath).filename().string());
    }
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "a.iwi images/a.iwi IW_02.iwd", "b.iwi images/b.iwi iw_01.iwd",
                        "C.IWI Images/C.IWI IW_02.iwd", "shared.iwi images/shared.iwi IW_02.iwd"}));
}

TEST_F(GameRoot, BadArchivesAndEntriesAreNotedAndSkipped) {
    testing::WriteBytes(main_ / "iw_00a_garbage.iwd", Bytes(4000, 'x'));
    WriteZip(main_ / "iw_00b_evil.iwd",
             {{"images/../../x.iwi", Text("no")}, {"images/g.iwi", Text("g")}});
    const GameArchiveListing listing = ListGameArchives(dir_.path().string());
    EXPECT_EQ(listing.problems, (std::vector<std::string>{
                                    Path("iw_00a_garbage.iwd") + ": Not a zip archive",
                                    Path("iw_00b_evil.iwd") +
                                        ": images/../../x.iwi: name leaves its folder (\"..\")"}));
    ASSERT_EQ(listing.images.size(), 5u);
    EXPECT_EQ(listing.images[3].name, "g.iwi");
    EXPECT_EQ(listing.images[0].archivePath, Path("IW_02.iwd"));
}

} // namespace
} // namespace pictavo
