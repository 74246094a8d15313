// Where the file and folder choosers open, without opening one.
#include "image_files.h"
#include "platform/start_folders.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

TEST(StartFoldersTest, EachChooserOpensWhereItLastWasElseTheGameElseHome) {
    pictavo::testing::TempDir dir;
    const fs::path home = dir.path() / "home";
    const fs::path game = dir.path() / "game";
    const fs::path mods = dir.path() / "mods";
    for (const fs::path& folder : {home, game, mods})
        fs::create_directories(folder);
    std::string gameFolder = game.string();
    pictavo::StartFolders folders([&gameFolder] { return gameFolder; },
                                  [&home] { return home.string(); });

    EXPECT_EQ(folders.For("Open"), game.string()) << "nothing used yet: the game's folder";
    folders.Chose("Open", (mods / "rock.iwi").string());
    EXPECT_EQ(folders.For("Open"), mods.string()) << "a file: its folder";
    EXPECT_EQ(folders.For("Open Folder"), game.string()) << "each chooser its own";
    folders.Chose("Open Folder", mods.string());
    EXPECT_EQ(folders.For("Open Folder"), mods.string()) << "a folder: itself";

    gameFolder = (dir.path() / "not set").string();
    EXPECT_EQ(folders.For("Compare With"), home.string()) << "no game folder: home";
    fs::remove_all(mods);
    EXPECT_EQ(folders.For("Open"), home.string()) << "a folder gone since is passed over";
    gameFolder.clear();
    folders.Chose("Open", "");
    EXPECT_EQ(folders.For("Open"), home.string()) << "a cancelled choice changes nothing";
}

} // namespace
