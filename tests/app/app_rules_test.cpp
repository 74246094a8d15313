// Rules of the windows that need no window: the game roots the settings take, the recent
// list and the pictures written from the view.
#include "app/game_root.h"
#include "app/level_picture.h"
#include "app/recent_files.h"
#include "image_files.h"
#include "texture/image_decode.h"

#include <gtest/gtest.h>

namespace pictavo::testing {
namespace {

namespace fs = std::filesystem;

TEST(GameRootTest, ARawFolderOrMainArchivesMakeARoot) {
    struct Case {
        const char* name;
        std::vector<const char*> folders;
        std::vector<const char*> files;
        bool root;
    };
    const Case cases[] = {
        {"mod tools", {"raw"}, {}, true},
        {"stock install", {"main"}, {"main/iw_00.iwd"}, true},
        {"copied from Windows", {"MAIN"}, {"MAIN/IW_00.IWD"}, true},
        {"both", {"raw", "main"}, {"main/x.iwd"}, true},
        {"empty", {}, {}, false},
        {"capital raw", {"Raw"}, {}, false},
        {"raw a file", {}, {"raw"}, false},
        {"main without archives", {"main"}, {"main/x.txt", "main/x.iwd.bak"}, false},
        {"an archive that is a folder", {"main", "main/x.iwd"}, {}, false},
        {"main a file", {}, {"main"}, false},
        {"archives outside main", {"zone"}, {"x.iwd", "zone/x.iwd"}, false},
    };
    TempDir dir;
    for (const Case& c : cases) {
        const fs::path folder = dir.path() / c.name;
        fs::create_directories(folder);
        for (const char* sub : c.folders)
            fs::create_directories(folder / sub);
        for (const char* file : c.files)
            WriteBytes(folder / file, {0});
        EXPECT_EQ(IsGameRootFolder(folder.string()), c.root) << c.name;
    }
    EXPECT_FALSE(IsGameRootFolder((dir.path() / "absent").string()));
}

TEST(RecentFilesTest, NewestFirstEachOnceAtMostTen) {
    RecentFiles recent;
    for (int i = 0; i < 12; ++i)
        recent.Add("/p" + std::to_string(i));
    ASSERT_EQ(recent.Paths().size(), RecentFiles::kMaxPaths);
    EXPECT_EQ(recent.Paths().front(), "/p11");
    EXPECT_EQ(recent.Paths().back(), "/p2");
    recent.Add("/p5"); // opened again: to the front, once
    EXPECT_EQ(recent.Paths().front(), "/p5");
    EXPECT_EQ(std::count(recent.Paths().begin(), recent.Paths().end(), "/p5"), 1);
    EXPECT_EQ(recent.Paths().size(), RecentFiles::kMaxPaths);
    recent.Add(""); // several files opened together leave no entry
    EXPECT_EQ(recent.Paths().front(), "/p5");
    recent.Remove("/p5");
    EXPECT_EQ(recent.Paths().front(), "/p11");
    EXPECT_EQ(recent.Paths().size(), RecentFiles::kMaxPaths - 1);

    // A stored list is taken under the same rules, its order kept.
    const RecentFiles stored({"/a", "/b", "/a", "/c"});
    EXPECT_EQ(stored.Paths(), (std::vector<std::string>{"/a", "/b", "/c"}));
}

TEST(LevelPictureTest, TypeFromTheName) {
    struct Case {
        const char* path;
        PictureType type;
        const char* withPng;
    };
    const Case cases[] = {
        {"/x/a.png", PictureType::kPng, "/x/a.png"},
        {"/x/a.TGA", PictureType::kTga, "/x/a.TGA"},
        {"/x/a", PictureType::kNone, "/x/a.png"},
        {"/x.d/a", PictureType::kNone, "/x.d/a.png"},
        {"/x/a.iwi", PictureType::kNone, "/x/a.iwi.png"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PictureTypeOf(c.path), c.type) << c.path;
        EXPECT_EQ(WithPictureExtension(c.path, PictureType::kPng), c.withPng) << c.path;
    }
    EXPECT_EQ(WithPictureExtension("/x/a", PictureType::kTga), "/x/a.tga");
}

TEST(LevelPictureTest, EachFaceOfACubeAsTgaAndRefusals) {
    // An uncompressed cube, so that every face's pixels are known without a decoder.
    Texture cube;
    cube.info.format = kFormatBgra8;
    cube.info.width = 2;
    cube.info.height = 1;
    cube.info.faces = 6;
    for (std::uint8_t face = 0; face < 6; ++face)
        cube.images.push_back({face, 0, 0, 255, 0, face, 0, 128}); // B, G, R, A
    TempDir dir;
    for (std::uint32_t face = 0; face < 6; ++face) {
        const std::string path = dir.File("face" + std::to_string(face) + ".tga");
        ASSERT_EQ(Why(WriteLevelPicture(cube, 0, face, PictureType::kTga, path)), "");
        RgbaImage picture;
        ASSERT_EQ(Why(DecodePicture(ReadBytes(path), picture)), "");
        ASSERT_EQ(picture.width, 2u);
        ASSERT_EQ(picture.height, 1u);
        const std::uint8_t f = static_cast<std::uint8_t>(face);
        EXPECT_EQ(picture.pixels, (Bytes{0, 0, f, 255, 0, f, 0, 128})) << face; // R, G, B, A
    }
    EXPECT_NE(Why(WriteLevelPicture(cube, 1, 0, PictureType::kPng, dir.File("no.png"))), "");
    EXPECT_NE(Why(WriteLevelPicture(cube, 0, 6, PictureType::kPng, dir.File("no.png"))), "");
    EXPECT_NE(Why(WriteLevelPicture(cube, 0, 0, PictureType::kPng, dir.File("gone/no.png"))), "");
    EXPECT_FALSE(std::filesystem::exists(dir.File("no.png")));
}

} // namespace
} // namespace pictavo::testing
