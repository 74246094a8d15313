// The lists besides a game's own folder: the images of its archives, and the folders,
// archives and files the user opens.
#include "imagelist/open_plan.h"
#include "loader_test.h"
#include "texture/texture_writer.h"
#include "zip_builder.h"

#include <filesystem>

namespace pictavo::testing {
namespace {

namespace fs = std::filesystem;

using OpenedListTest = LoaderTest;

// A Call of Duty 4 root with main/*.iwd archives and, when given, raw\images files.
class GameArchivesTest : public LoaderTest {
protected:
    void WriteArchive(const std::string& name, const std::vector<ZipItem>& items) {
        fs::create_directories(dir.path() / "main");
        WriteZip(dir.path() / "main" / name, items);
    }
    void ListCod4() {
        theSettings.Cod4Path = dir.path().string();
        loader.SetGame(0);
        loader.LoadList();
    }
};

TEST_F(GameArchivesTest, AStockInstallListsItsArchivesImagesTheLaterArchiveWinning) {
    WriteArchive("iw_00.iwd", {{"images/wall_c.iwi", MakeIwi({6, 11, 8, 8, 1})},
                               {"images/sky.iwi", MakeIwi({})},
                               {"sound/shot.wav", {1, 2, 3}}});
    WriteArchive("iw_01.iwd", {{"images/wall_c.iwi", MakeIwi({6, 13, 16, 32, 1})},
                               {"images/../evil.iwi", MakeIwi({})},
                               {"IMAGES/Caps.IWI", MakeIwi({})}});
    WriteBytes(dir.path() / "main" / "iw_02.iwd", {'n', 'o', 't', ' ', 'z', 'i', 'p'});
    ListCod4();

    EXPECT_TRUE(messages.shown.empty()) << "no Folder Not Found, and no box per problem";
    EXPECT_TRUE(loader.IsListLoaded());
    EXPECT_EQ(Sorted(listBox.entries),
              (std::vector<std::string>{"Caps.IWI [iw_01.iwd]", "sky.iwi [iw_00.iwd]",
                                        "wall_c.iwi [iw_01.iwd]"}));
    // The unreadable archive and the escaping name are each noted once.
    ASSERT_EQ(loader.ListProblems().size(), 2u);
    const std::string problems = loader.ListProblems()[0] + loader.ListProblems()[1];
    EXPECT_NE(problems.find("iw_02.iwd"), std::string::npos) << problems;
    EXPECT_NE(problems.find("evil.iwi"), std::string::npos) << problems;

    Select("wall_c.iwi [iw_01.iwd]");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(loader.width, 16);
    EXPECT_EQ(loader.height, 32);
    EXPECT_EQ(loader.GetFormatName(), "DTX5");
    ASSERT_NE(loader.ShownLocation(), nullptr);
    EXPECT_EQ(fs::path(loader.ShownLocation()->archivePath).filename(), "iw_01.iwd");
    EXPECT_EQ(loader.ShownLocation()->entryName, "images/wall_c.iwi");
}

TEST_F(GameArchivesTest, RawImagesStayListedBesideTheArchivesAndNormalMapsMatchAcrossThem) {
    WriteArchive("iw_00.iwd", {{"images/rock_n.iwi", MakeIwi({6, 13, 32, 16, 6})},
                               {"images/rock_c.iwi", MakeIwi({6, 11, 8, 8, 1})}});
    fs::create_directories(RawImages());
    WriteBytes(RawImages() / "rock_c.iwi", MakeIwi({6, 11, 64, 64, 7}));
    ListCod4();
    EXPECT_EQ(Sorted(listBox.entries),
              (std::vector<std::string>{"rock_c.iwi", "rock_c.iwi [iw_00.iwd]",
                                        "rock_n.iwi [iw_00.iwd]"}));
    theSettings.MergeBUMP = true;
    Select("rock_c.iwi"); // the mod tools' file, its normal map from the archive
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(theSettings.normalMapLoaded);
    EXPECT_EQ(loader.normalMapName, "rock_n.iwi [iw_00.iwd]");
    EXPECT_EQ(loader.width, 32);
    ASSERT_NE(loader.ShownTexture(), nullptr);
    EXPECT_EQ(loader.ShownTexture()->info.width, 64u) << "the colour map stays on display";
}

TEST_F(GameArchivesTest, AnEntryThatLiesIsRefusedWhenSelectedAndTheOthersStillLoad) {
    Bytes zip = MakeZip({{"images/liar.iwi", MakeIwi({6, 11, 64, 64, 1})},
                         {"images/good.iwi", MakeIwi({6, 11, 4, 4, 1})}});
    PatchZipEntry(zip, "images/liar.iwi", ZipField::kSize, 0x7FFFFFFF);
    fs::create_directories(dir.path() / "main");
    WriteBytes(dir.path() / "main" / "iw_00.iwd", zip);
    ListCod4();
    Select("liar.iwi [iw_00.iwd]");
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_EQ(Texts()[0].rfind("IWI::LoadFile: ", 0), 0u) << Texts()[0];
    // The archive's own reason, which names the entry.
    EXPECT_EQ("IWI::LoadFile: " + loader.LoadFailure(), Texts()[0]);
    EXPECT_NE(loader.LoadFailure().find("liar.iwi"), std::string::npos) << loader.LoadFailure();
    EXPECT_TRUE(gl.Calls().empty());
    EXPECT_EQ(loader.ShownLocation(), nullptr);
    Select("good.iwi [iw_00.iwd]");
    EXPECT_EQ(Texts().size(), 1u);
    EXPECT_EQ(loader.width, 4);
}

TEST_F(GameArchivesTest, ExportOfAnArchiveEntryGoesToTheFolderTheUserPicks) {
    const IwiParams colour{6, 11, 64, 64, 7};
    WriteArchive("iw_00.iwd", {{"images/wall_c.iwi", MakeIwi(colour)}});
    ListCod4();
    Select("wall_c.iwi [iw_00.iwd]");
    const fs::path out = dir.path() / "out";
    fs::create_directories(out);

    loader.ExportConverted(); // cancelled
    EXPECT_EQ(browser.requests.size(), 1u);
    EXPECT_EQ(beeper.beeps, 0);
    EXPECT_TRUE(fs::is_empty(out));

    browser.answer = out.string();
    loader.ExportConverted();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(beeper.beeps, 1);
    EXPECT_EQ(ReadBytes(out / "wall_c.dds").size(), 128u + (MakeIwi(colour).size() - 28));
    EXPECT_EQ(fs::directory_iterator(dir.path() / "main")->path().filename(), "iw_00.iwd");
}

TEST_F(OpenedListTest, AnOpenedFolderListsIwiAndDdsOfAnyCaseAndLoadsEveryDdsFormat) {
    const fs::path folder = dir.path() / "opened";
    fs::create_directories(folder / "sub.iwi");
    WriteBytes(folder / "a.IWI", MakeIwi({6, 11, 8, 8, 1}));
    WriteBytes(folder / "dxt.dds", MakeDds({FourCCOf("DXT5"), 13, 16, 8, 1}));
    WriteBytes(folder / "notes.txt", {1});
    Texture bgra;
    bgra.info.container = Container::kDds;
    bgra.info.format = kFormatBgra8;
    bgra.info.width = 2;
    bgra.info.height = 1;
    bgra.images = {{1, 2, 3, 4, 5, 6, 7, 8}};
    ASSERT_EQ(WriteDds(bgra, (folder / "plain.DDS").string()), TextureError::kNone);

    UseRawLayout({{"game.iwi", MakeIwi({})}});
    loader.OpenList(PlanOpen({folder.string()}).list);
    EXPECT_FALSE(loader.IsListLoaded());
    loader.LoadList();
    EXPECT_TRUE(loader.ShowsOpenedList());
    EXPECT_EQ(Sorted(listBox.entries), (std::vector<std::string>{"a.IWI", "dxt.dds", "plain.DDS"}));

    struct Case {
        const char* name;
        int format;
        int width;
    };
    for (const Case& c : {Case{"a.IWI", 11, 8}, Case{"dxt.dds", 13, 16}, Case{"plain.DDS", 1, 2}}) {
        Select(c.name);
        EXPECT_TRUE(messages.shown.empty()) << c.name << ": " << Texts().front();
        EXPECT_EQ(loader.IWIHeader.format, c.format) << c.name;
        EXPECT_EQ(loader.width, c.width) << c.name;
    }
    // The plain DDS's B, G, R pixels reach OpenGL as R, G, B.
    const auto uploads = gl.CallsNamed("glTexImage2D");
    ASSERT_FALSE(uploads.empty());
    EXPECT_EQ(uploads.back().data, (Bytes{3, 2, 1, 4, 7, 6, 5, 8}));

    // Refresh reads the folder again; the game's list comes back when asked for.
    WriteBytes(folder / "late.iwi", MakeIwi({}));
    loader.InvalidateList();
    loader.LoadList();
    EXPECT_EQ(listBox.entries.size(), 4u);
    loader.ShowGameList();
    loader.LoadList();
    EXPECT_EQ(listBox.entries, std::vector<std::string>{"game.iwi"});
}

// A Call of Duty 2 root: main/*.iwd and no raw folder, of a game the settings do not name.
TEST_F(OpenedListTest, AnOpenedGameRootListsTheImagesOfItsArchives) {
    const fs::path root = dir.path() / "Call of Duty 2";
    fs::create_directories(root / "main");
    WriteZip(root / "main" / "iw_00.iwd", {{"images/wall_c.iwi", MakeIwi({5, 11, 8, 8, 4})},
                                           {"images/sky.iwi", MakeIwi({5, 13, 16, 16, 1})}});
    WriteZip(root / "main" / "zz_mod.iwd", {{"images/wall_c.iwi", MakeIwi({5, 12, 32, 32, 6})}});
    WriteBytes(root / "loose.dds", MakeDds({FourCCOf("DXT1"), 11, 4, 4, 1}));
    loader.OpenList(PlanOpen({root.string()}).list);
    loader.LoadList();
    EXPECT_EQ(Sorted(listBox.entries), (std::vector<std::string>{"loose.dds", "sky.iwi [iw_00.iwd]",
                                                                 "wall_c.iwi [zz_mod.iwd]"}));
    Select("wall_c.iwi [zz_mod.iwd]");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(loader.textureInfo.version, 5);
    EXPECT_EQ(loader.width, 32);
    EXPECT_EQ(loader.levelCount, 6);

    // Among several paths, the root's own files carry its mark, its archives' images theirs.
    WriteBytes(dir.path() / "other.iwi", MakeIwi({}));
    loader.OpenList(PlanOpen({root.string(), dir.File("other.iwi")}).list);
    loader.LoadList();
    EXPECT_EQ(Sorted(listBox.entries),
              (std::vector<std::string>{"loose.dds [Call of Duty 2]", "other.iwi",
                                        "sky.iwi [iw_00.iwd]", "wall_c.iwi [zz_mod.iwd]"}));
}

// Black Ops II files and the DDS block formats its mods carry load and go up to OpenGL; a
// format no reader takes is refused by name.
TEST_F(OpenedListTest, NewKindsLoadAndRefusedFormatsAreNamed) {
    const fs::path folder = dir.path() / "bo2";
    fs::create_directories(folder);
    WriteBytes(folder / "cube.iwi", MakeIwi({27, 13, 8, 8, 4, 0x04}));
    WriteBytes(folder / "rgba.iwi", MakeIwi({27, 1, 4, 2, 3}));
    WriteBytes(folder / "normals.dds", MakeDds({FourCCOf("BC5U"), 0x50, 16, 16, 5}));
    Bytes hdr = MakeDds({FourCCOf("DX10"), 13, 4, 4, 1});
    Bytes extended(20, 0);
    PutU32(extended, 0, 95); // BC6H_UF16
    PutU32(extended, 4, 3);
    PutU32(extended, 12, 1);
    hdr.insert(hdr.begin() + 128, extended.begin(), extended.end());
    WriteBytes(folder / "hdr.dds", hdr);
    loader.OpenList(PlanOpen({folder.string()}).list);
    loader.LoadList();
    struct Case {
        const char* name;
        int faces;
        int levels;
        const char* upload;
    };
    for (const Case& c :
         {Case{"cube.iwi", 6, 4, "glCompressedTexImage2DARB"},
          Case{"rgba.iwi", 1, 3, "glTexImage2D"}, Case{"normals.dds", 1, 5, "glTexImage2D"}}) {
        gl.Clear();
        Select(c.name);
        EXPECT_TRUE(messages.shown.empty()) << c.name << ": " << Texts().front();
        EXPECT_EQ(loader.faceCount, c.faces) << c.name;
        EXPECT_EQ(loader.levelCount, c.levels) << c.name;
        EXPECT_EQ(gl.CallsNamed(c.upload).size(), static_cast<std::size_t>(c.levels)) << c.name;
    }
    Select("hdr.dds");
    EXPECT_EQ(loader.LoadFailure(),
              "Unsupported DDS pixel format: BC6H_UF16 (DXGI format 95): hdr.dds");
}

TEST_F(OpenedListTest, AnOpenedArchiveListsItsImagesInAnyFolderUnmarked) {
    const fs::path archive = dir.path() / "mod.IWD";
    WriteZip(archive, {{"images/one.iwi", MakeIwi({6, 11, 8, 8, 1})},
                       {"two.dds", MakeDds({})},
                       {"deep/er/one.iwi", MakeIwi({6, 11, 16, 16, 1})},
                       {"readme.txt", {1}}});
    loader.OpenList(PlanOpen({archive.string()}).list);
    loader.LoadList();
    EXPECT_EQ(Sorted(listBox.entries), (std::vector<std::string>{"one.iwi", "two.dds"}));
    Select("one.iwi");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(loader.width, 16) << "the later entry of a name wins";

    // Several files list just those; the filter narrows the places an export would take.
    WriteBytes(dir.path() / "x_one.iwi", MakeIwi({}));
    WriteBytes(dir.path() / "x_two.iwi", MakeIwi({}));
    loader.OpenList(PlanOpen({dir.File("x_one.iwi"), dir.File("x_two.iwi")}).list);
    loader.LoadList();
    EXPECT_EQ(Sorted(listBox.entries), (std::vector<std::string>{"x_one.iwi", "x_two.iwi"}));
    loader.FilterList("two");
    ASSERT_EQ(loader.ShownLocations().size(), 1u);
    EXPECT_EQ(loader.ShownLocations()[0].filePath, dir.File("x_two.iwi"));
    loader.FilterList("");
    EXPECT_EQ(loader.ShownLocations().size(), 2u);
}

TEST_F(OpenedListTest, SeveralFoldersArchivesAndFilesAreListedTogetherEachFolderMarked) {
    const fs::path mods = dir.path() / "mods";
    const fs::path maps = dir.path() / "maps";
    const fs::path twin = dir.path() / "other" / "maps"; // the same name as maps
    for (const fs::path& folder : {mods, maps, twin})
        fs::create_directories(folder);
    WriteBytes(mods / "wall.iwi", MakeIwi({6, 11, 8, 8, 1}));
    WriteBytes(maps / "wall.iwi", MakeIwi({6, 11, 16, 16, 1}));
    WriteBytes(maps / "sky.dds", MakeDds({}));
    WriteBytes(twin / "sky.dds", MakeDds({}));
    WriteBytes(twin / "twin.iwi", MakeIwi({}));
    const fs::path pack = dir.path() / "pack.iwd";
    WriteZip(pack, {{"images/wall.iwi", MakeIwi({6, 11, 32, 32, 1})}});
    WriteBytes(dir.path() / "loose.iwi", MakeIwi({6, 11, 4, 4, 1}));
    const OpenPlan plan = PlanOpen(
        {mods.string() + "/", maps.string(), twin.string(), pack.string(), dir.File("loose.iwi")});
    ASSERT_TRUE(plan.problems.empty());
    loader.OpenList(plan.list);
    loader.LoadList();
    EXPECT_EQ(
        Sorted(listBox.entries),
        (std::vector<std::string>{"loose.iwi", "sky.dds [maps]", "twin.iwi [maps]",
                                  "wall.iwi [maps]", "wall.iwi [mods]", "wall.iwi [pack.iwd]"}));
    ASSERT_EQ(loader.ListProblems().size(), 1u) << "the second sky.dds [maps]";
    EXPECT_NE(loader.ListProblems()[0].find(twin.string()), std::string::npos);

    struct Case {
        const char* text;
        int width;
    };
    for (const Case& c : {Case{"wall.iwi [mods]", 8}, Case{"wall.iwi [maps]", 16},
                          Case{"wall.iwi [pack.iwd]", 32}, Case{"loose.iwi", 4}}) {
        Select(c.text);
        EXPECT_TRUE(messages.shown.empty()) << c.text << ": " << Texts().front();
        EXPECT_EQ(loader.width, c.width) << c.text;
    }

    // Refresh reads every one of them again.
    WriteBytes(mods / "late.iwi", MakeIwi({}));
    fs::remove(dir.path() / "loose.iwi");
    loader.InvalidateList();
    loader.LoadList();
    EXPECT_EQ(listBox.entries.size(), 6u);
    EXPECT_NE(std::find(listBox.entries.begin(), listBox.entries.end(), "late.iwi [mods]"),
              listBox.entries.end());
    ASSERT_EQ(loader.ListProblems().size(), 2u);
    EXPECT_EQ(loader.ListProblems()[1], dir.File("loose.iwi") + ": not found");
}

TEST_F(OpenedListTest, AnotherGameReplacesTheOpenedList) {
    loader.OpenList(PlanOpen({dir.path().string()}).list);
    loader.LoadList();
    EXPECT_TRUE(loader.ShowsOpenedList());
    loader.SetGame(3);
    EXPECT_FALSE(loader.ShowsOpenedList());
    EXPECT_FALSE(loader.IsListLoaded());
}

TEST(OpenPlanTest, WhatEachPathOpens) {
    TempDir dir;
    const fs::path folder = dir.path() / "folder";
    fs::create_directories(folder);
    WriteBytes(dir.path() / "a.iwi", {0});
    WriteBytes(dir.path() / "b.DDS", {0});
    WriteBytes(dir.path() / "pack.IWD", {0});
    WriteBytes(dir.path() / "notes.txt", {0});
    const std::string a = dir.File("a.iwi");
    const std::string b = dir.File("b.DDS");
    const std::string pack = dir.File("pack.IWD");
    const std::string missing = dir.File("gone.iwi");
    using Kind = OpenedList::Kind;
    struct Case {
        std::vector<std::string> paths;
        bool opens;
        Kind kind;
        std::vector<std::string> listed;
        std::string selected;
        std::size_t problems;
    };
    const Case cases[] = {
        {{folder.string()}, true, Kind::kFolder, {folder.string()}, "", 0},
        {{pack}, true, Kind::kArchive, {pack}, "", 0},
        {{a}, true, Kind::kFolder, {dir.path().string()}, "a.iwi", 0},
        {{a, b}, true, Kind::kSeveral, {a, b}, "", 0},
        {{a, missing}, true, Kind::kFolder, {dir.path().string()}, "a.iwi", 1},
        {{a, b, pack, folder.string()}, true, Kind::kSeveral, {a, b, pack, folder.string()}, "", 0},
        {{folder.string(), folder.string()},
         true,
         Kind::kSeveral,
         {folder.string(), folder.string()},
         "",
         0},
        {{missing, pack}, true, Kind::kArchive, {pack}, "", 1},
        {{folder.string(), dir.File("notes.txt")}, true, Kind::kFolder, {folder.string()}, "", 1},
        {{dir.File("notes.txt")}, false, Kind::kFolder, {}, "", 1},
        {{missing}, false, Kind::kFolder, {}, "", 1},
        {{}, false, Kind::kFolder, {}, "", 0},
    };
    for (const Case& c : cases) {
        const std::string label = c.paths.empty() ? "nothing" : c.paths.front();
        const OpenPlan plan = PlanOpen(c.paths);
        EXPECT_EQ(plan.opens, c.opens) << label;
        EXPECT_EQ(plan.problems.size(), c.problems) << label;
        if (!c.opens)
            continue;
        EXPECT_EQ(plan.list.kind, c.kind) << label;
        EXPECT_EQ(plan.list.paths, c.listed) << label;
        EXPECT_EQ(plan.list.selected, c.selected) << label;
    }
}

TEST(ListedNameTest, MarksAndUnmarks) {
    EXPECT_EQ(MarkedName("wall_c.iwi", "/games/cod4/main/iw_07.iwd"), "wall_c.iwi [iw_07.iwd]");
    EXPECT_EQ(MarkedName("wall_c.iwi", "/mods/extracted/"), "wall_c.iwi [extracted]");
    struct Case {
        const char* text;
        const char* name;
    };
    for (const Case& c :
         {Case{"wall_c.iwi [iw_07.iwd]", "wall_c.iwi"}, Case{"wall_c.iwi", "wall_c.iwi"},
          Case{"odd [x].iwi", "odd [x].iwi"}, Case{"a [b] [c.iwd]", "a [b]"}}) {
        EXPECT_EQ(UnmarkedName(c.text), c.name) << c.text;
    }
}

} // namespace
} // namespace pictavo::testing
