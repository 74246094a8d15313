#include "loader_test.h"
#include "platform/qt_list_box.h"
#include "texture/texture_writer.h"

#include <QListWidget>
#include <functional>

namespace {

using pictavo::testing::IwiParams;
using pictavo::testing::MakeIwi;
using pictavo::testing::ReadBytes;
using pictavo::testing::Sorted;
using pictavo::testing::WriteBytes;

using VarnelLoaderTest = pictavo::testing::LoaderTest;

TEST_F(VarnelLoaderTest, RawLayoutListsIwiFilesOfAnyCaseBelowRawImages) {
    WriteBytes(dir.path() / "top.iwi", {0});
    UseRawLayout({{"a.iwi", {0}}, {"B.IWI", {0}}, {"c.Iwi", {0}}, {"notes.txt", {0}}});
    EXPECT_TRUE(loader.IsListLoaded());
    EXPECT_TRUE(loader.fullListShown);
    EXPECT_EQ(Sorted(loader.fileNames), (std::vector<std::string>{"B.IWI", "a.iwi", "c.Iwi"}));
    EXPECT_EQ(listBox.entries, loader.fileNames);
    EXPECT_EQ(listBox.calls.front(), RecordingListBox::Call::ResetContent);
    EXPECT_EQ(listBox.calls[1], RecordingListBox::Call::RedrawOff);
    EXPECT_EQ(listBox.calls.back(), RecordingListBox::Call::RedrawOn);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(VarnelLoaderTest, FlatLayoutListsTheRootOnly) {
    std::filesystem::create_directories(RawImages());
    WriteBytes(RawImages() / "below.iwi", {0});
    WriteBytes(dir.path() / "mw3.iwi", {0});
    theSettings.MW3Path = dir.path().string();
    loader.SetGame(4);
    EXPECT_FALSE(loader.rawImagesLayout);
    loader.LoadList();
    EXPECT_EQ(loader.fileNames, (std::vector<std::string>{"mw3.iwi"}));
}

TEST_F(VarnelLoaderTest, MissingFolderShowsTheMessageAndKeepsTheList) {
    UseRawLayout({{"kept.iwi", {0}}});
    const auto before = listBox.entries;
    struct Case {
        std::uint32_t game;
        std::string root;
    };
    // Cod5 with a root lacking raw\images; MW2 with a root that does not exist; BO with none.
    std::filesystem::create_directories(dir.path() / "emptyroot");
    theSettings.Cod5Path = (dir.path() / "emptyroot").string();
    theSettings.MW2Path = (dir.path() / "nowhere").string();
    theSettings.BOPath = "";
    for (std::uint32_t game : {1u, 3u, 2u}) {
        messages.shown.clear();
        loader.SetGame(game);
        loader.LoadList();
        ASSERT_EQ(messages.shown.size(), 1u) << game;
        EXPECT_EQ(messages.shown[0].caption, "VarnelLoader::LoadList");
        EXPECT_EQ(messages.shown[0].text, "Folder Not Found!\n\nCheck that a valid path is set in "
                                          "settings for the selected game");
        EXPECT_FALSE(loader.IsListLoaded());
        EXPECT_EQ(listBox.entries, before);
        EXPECT_EQ(loader.fileNames, before);
    }
}

TEST_F(VarnelLoaderTest, ASecondLoadListReadsNothingUntilInvalidated) {
    UseRawLayout({{"one.iwi", {0}}});
    WriteBytes(RawImages() / "two.iwi", {0});
    loader.LoadList();
    EXPECT_EQ(loader.fileNames.size(), 1u);
    loader.InvalidateList();
    loader.LoadList();
    EXPECT_EQ(loader.fileNames.size(), 2u);
}

TEST_F(VarnelLoaderTest, LoadListLeavesTheCurrentFolderAlone) {
    const auto before = std::filesystem::current_path();
    UseRawLayout({{"one.iwi", {0}}});
    EXPECT_EQ(std::filesystem::current_path(), before);
}

TEST_F(VarnelLoaderTest, SetGameCopiesTheRootOnlyForANewGame) {
    theSettings.Cod4Path = "first";
    loader.SetGame(0);
    EXPECT_EQ(loader.rootPath, "first");
    EXPECT_TRUE(loader.rawImagesLayout);
    theSettings.Cod4Path = "second";
    loader.SetGame(0);
    EXPECT_EQ(loader.rootPath, "first");
    theSettings.MW2Path = "flat";
    loader.SetGame(3);
    EXPECT_EQ(loader.rootPath, "flat");
    EXPECT_FALSE(loader.rawImagesLayout);
    EXPECT_EQ(loader.GetGame(), 3);
    loader.SetGame(9); // no such game: root and layout stay
    EXPECT_EQ(loader.GetGame(), 9);
    EXPECT_EQ(loader.rootPath, "flat");
    EXPECT_FALSE(loader.IsListLoaded());
}

TEST_F(VarnelLoaderTest, FilterRulesAndTheRestoreOnceRule) {
    UseRawLayout(
        {{"rock_c.iwi", {0}}, {"ROCK_n.iwi", {0}}, {"bedrock.iwi", {0}}, {"sky.iwi", {0}}});
    listBox.calls.clear();
    loader.FilterList("ro");
    EXPECT_EQ(std::count(listBox.calls.begin(), listBox.calls.end(),
                         RecordingListBox::Call::ResetContent),
              0);
    EXPECT_EQ(listBox.entries.size(), 4u);

    loader.FilterList("roc");
    EXPECT_FALSE(loader.fullListShown);
    EXPECT_EQ(Sorted(listBox.entries), (std::vector<std::string>{"bedrock.iwi", "rock_c.iwi"}));

    listBox.calls.clear();
    loader.FilterList("ro");
    EXPECT_TRUE(loader.fullListShown);
    EXPECT_EQ(listBox.entries, loader.fileNames);
    EXPECT_EQ(listBox.calls.front(), RecordingListBox::Call::RedrawOff);
    EXPECT_EQ(listBox.calls.back(), RecordingListBox::Call::RedrawOn);
    listBox.calls.clear();
    loader.FilterList("r");
    loader.FilterList("");
    EXPECT_EQ(listBox.calls,
              (std::vector<RecordingListBox::Call>{
                  RecordingListBox::Call::RedrawOff, RecordingListBox::Call::RedrawOn,
                  RecordingListBox::Call::RedrawOff, RecordingListBox::Call::RedrawOn}));
}

TEST_F(VarnelLoaderTest, FilterLengthCountsCharactersNotBytes) {
    const std::string creme = "cr\xC3\xA8me_br\xC3\xBBl\xC3\xA9"
                              "e.iwi";
    UseRawLayout({{creme, {0}}, {"rock.iwi", {0}}});
    const std::vector<std::string> all = Sorted({creme, "rock.iwi"});
    struct Case {
        std::string filter;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {"\xC3\xA8m", all},             // two characters in three bytes
        {"cr\xC3\xA8", {creme}},        // three characters
        {"\xC3\xBBl", all},             // back to two: the whole list again
        {"\xC3\xBBl\xC3\xA9", {creme}}, // three characters in five bytes
        {"\xC3\xA9\xC3\xA9", all},      // two characters in four bytes
    };
    for (const Case& c : cases) {
        loader.FilterList(c.filter);
        EXPECT_EQ(Sorted(listBox.entries), c.shown) << c.filter;
    }
}

TEST_F(VarnelLoaderTest, NormalMapSearchRules) {
    struct Case {
        std::vector<std::string> list;
        std::string colourMap;
        std::string found; // empty: none
    };
    const std::vector<Case> cases = {
        {{"rock_c.iwi", "rock_n.iwi", "rock_nml.iwi"}, "rock_c.iwi", "rock_nml.iwi"},
        {{"rock_nml.iwi", "rock_n.iwi"}, "rock_c.iwi", "rock_n.iwi"},
        {{"rock_col.iwi", "rock_n.iwi"}, "rock_col.iwi", "rock_n.iwi"},
        {{"rock_crl.iwi", "rock_nml.iwi"}, "rock_crl.iwi", "rock_nml.iwi"},
        {{"rock_C.iwi", "rock_n.iwi"}, "rock_C.iwi", ""},
        {{"rock.iwi", "rock_n.iwi"}, "rock.iwi", ""},
        {{"rock_c.iwi", "ROCK_n.iwi", "rock_N.iwi"}, "rock_c.iwi", ""},
        {{"rock_c.iwi", "rock_n.IWI"}, "rock_c.iwi", ""},
    };
    for (const Case& c : cases) {
        VarnelLoader fresh;
        fresh.fileNames = c.list;
        EXPECT_EQ(fresh.FindNormalMap(c.colourMap), !c.found.empty()) << c.colourMap;
        EXPECT_EQ(fresh.normalMapName, c.found) << c.colourMap;
    }
}

TEST_F(VarnelLoaderTest, NoSelectionLoadsNothing) {
    UseRawLayout({{"a_c.iwi", MakeIwi({})}});
    loader.LoadSelected();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(gl.Calls().empty());
    EXPECT_FALSE(loader.loaded);
}

TEST_F(VarnelLoaderTest, EachFailingStepShowsItsBoxAndGivesTheReasonForTheStatusLine) {
    UseRawLayout({{"caps.IWI", MakeIwi({})},
                  {"broken.iwi", {'I', 'W', 'i', 6, 11, 0, 64, 0, 64, 0}},
                  {"old.iwi", {'I', 'W', 'i', 4}},
                  {"ui_bg.iwi", {0x89, 'P', 'N', 'G', 13, 10, 26, 10}},
                  {"good.iwi", MakeIwi({})}});
    std::filesystem::remove(RawImages() / "caps.IWI");
    WriteBytes(RawImages() / "caps.IWI", MakeIwi({}));
    std::vector<std::string> reasons;
    for (const char* name : {"gone.iwi", "caps.IWI", "broken.iwi", "old.iwi", "ui_bg.iwi"}) {
        Select(name);
        reasons.push_back(loader.LoadFailure());
    }
    // Each box: the failed step, then the reason the status line gives.
    std::vector<std::string> boxes;
    const char* steps[] = {"SetFile Error: Unknown Error_?", "IWI::GetFileType: Not IWI",
                           "IWI::LoadFile: The file is shorter than its header says",
                           "IWI::LoadFile: Unknown Error_?", "IWI::LoadFile: Unknown Error_?"};
    for (std::size_t i = 0; i < reasons.size(); ++i)
        boxes.push_back(steps[i] + ("\n" + reasons[i]));
    EXPECT_EQ(Texts(), boxes);
    EXPECT_EQ(reasons,
              (std::vector<std::string>{"The file cannot be opened, read or written: gone.iwi",
                                        "Not an IWI or DDS file: caps.IWI",
                                        "The file is shorter than its header says: broken.iwi",
                                        "Unknown IWI version (5, 6, 8, 9, 13 and 27 are known): "
                                        "old.iwi",
                                        "Not an IWI or DDS file: ui_bg.iwi"}));
    EXPECT_TRUE(gl.Calls().empty());
    Select("good.iwi");
    EXPECT_EQ(loader.LoadFailure(), "");
}

TEST_F(VarnelLoaderTest, FailedUploadIsReportedAndTheNormalMapStillTried) {
    UseRawLayout({{"rock_c.iwi", MakeIwi({})}, {"rock_n.iwi", MakeIwi({})}});
    theSettings.MergeBUMP = true;
    const gl::EntryPoints recording = gl::Api();
    gl::Api() = gl::EntryPoints{};
    Select("rock_c.iwi");
    gl::Api() = recording;
    EXPECT_EQ(Texts(), (std::vector<std::string>{"IWI::LoadToOpenGL: Unknown Error_?"}));
    EXPECT_EQ(loader.fileName, "rock_n.iwi");
    EXPECT_FALSE(theSettings.normalMapLoaded);
}

TEST_F(VarnelLoaderTest, MergedLoadFillsAllThreeTextures) {
    UseRawLayout(
        {{"rock_c.iwi", MakeIwi({6, 11, 64, 64, 7})}, {"rock_n.iwi", MakeIwi({6, 13, 32, 16, 6})}});
    theSettings.MergeBUMP = true;
    theSettings.embossOn = true;
    Select("rock_c.iwi");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(theSettings.normalMapLoaded);
    EXPECT_FALSE(theSettings.embossOn);
    EXPECT_FALSE(theSettings.defaultImageShown);
    EXPECT_EQ(loader.colorTexture, 1u);
    EXPECT_EQ(loader.normalTexture, 2u);
    EXPECT_EQ(loader.invertedNormalTexture, 3u);
    EXPECT_EQ(loader.normalMapName, "rock_n.iwi");
    // The object now describes the normal map.
    EXPECT_EQ(loader.GetFormatName(), "DTX5");
    EXPECT_EQ(loader.GetSizeText(), "0x00000200");
    EXPECT_EQ(loader.width, 32);
    EXPECT_EQ(loader.height, 16);
    EXPECT_EQ(gl.CallsNamed("glCompressedTexImage2DARB").size(), 7u + 6u + 1u);
}

TEST_F(VarnelLoaderTest, AnotherCubeFaceIsUploadedAndAMergedNormalMapReadAgain) {
    // An 8 x 8 DXT1 cube map whose every face is filled with its own byte: the same bytes
    // once flipped for OpenGL.
    pictavo::Texture cube;
    cube.info.format = pictavo::kFormatDxt1;
    cube.info.width = cube.info.height = 8;
    cube.info.faces = 6;
    for (std::uint8_t face = 0; face < 6; ++face)
        cube.images.push_back(pictavo::Bytes(32, face));
    std::filesystem::create_directories(RawImages());
    ASSERT_EQ(pictavo::WriteIwi(cube, 8, (RawImages() / "sky_c.iwi").string()),
              pictavo::TextureError::kNone);
    UseRawLayout({{"sky_n.iwi", MakeIwi({6, 11, 8, 8, 1})}});
    const auto colourUploads = [this] {
        std::vector<pictavo::Bytes> faces;
        for (const auto& call : gl.CallsNamed("glCompressedTexImage2DARB"))
            faces.push_back(call.data);
        return faces;
    };

    theSettings.MergeBUMP = true;
    Select("sky_c.iwi");
    ASSERT_TRUE(theSettings.normalMapLoaded);
    EXPECT_EQ(colourUploads().front(), cube.images[0]);
    theSettings.embossOn = true;
    gl.Clear();
    loader.ShowCubeFace(3);
    EXPECT_TRUE(messages.shown.empty());
    // Colour map, normal map and its inverted copy, as the selection loaded them.
    ASSERT_EQ(colourUploads().size(), 3u);
    EXPECT_EQ(colourUploads().front(), cube.images[3]);
    EXPECT_TRUE(theSettings.normalMapLoaded);
    EXPECT_TRUE(theSettings.embossOn) << "not a new selection";

    theSettings.MergeBUMP = false;
    Select("sky_c.iwi"); // the face chosen stays
    EXPECT_EQ(colourUploads().back(), cube.images[3]);
    gl.Clear();
    loader.ShowCubeFace(5);
    EXPECT_EQ(colourUploads(), std::vector<pictavo::Bytes>{cube.images[5]});
    EXPECT_EQ(loader.fileName, "sky_c.iwi");
    gl.Clear();
    loader.ShowCubeFace(5);
    Select("sky_n.iwi");
    loader.ShowCubeFace(0);
    EXPECT_EQ(colourUploads().size(), 1u) << "the same face, or an image of one face";
}

TEST_F(VarnelLoaderTest, WithoutMergeOnlyTheColourMapLoads) {
    UseRawLayout({{"rock_c.iwi", MakeIwi({})}, {"rock_n.iwi", MakeIwi({})}});
    Select("rock_c.iwi");
    EXPECT_FALSE(theSettings.normalMapLoaded);
    EXPECT_EQ(loader.normalTexture, 0u);
    EXPECT_EQ(loader.fileName, "rock_c.iwi");
}

TEST_F(VarnelLoaderTest, AFailingNormalMapStaysSilent) {
    UseRawLayout({{"rock_c.iwi", MakeIwi({})}, {"rock_n.iwi", {'n', 'o'}}});
    theSettings.MergeBUMP = true;
    Select("rock_c.iwi");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(theSettings.normalMapLoaded);
    EXPECT_EQ(loader.colorTexture, 1u);
}

TEST_F(VarnelLoaderTest, FlatLayoutLoadsFromTheRoot) {
    WriteBytes(dir.path() / "flat.iwi", MakeIwi({6, 11, 512, 256, 10}));
    theSettings.MW2Path = dir.path().string();
    loader.SetGame(3);
    loader.LoadList();
    Select("flat.iwi");
    EXPECT_TRUE(messages.shown.empty());
    const auto uploads = gl.CallsNamed("glCompressedTexImage2DARB");
    ASSERT_EQ(uploads.size(), 10u);
    for (std::size_t i = 0; i < uploads.size(); ++i) {
        EXPECT_EQ(uploads[i].args[3], std::max(1, 512 >> i));
        EXPECT_EQ(uploads[i].args[4], std::max(1, 256 >> i));
        EXPECT_EQ(uploads[i].args[6], double(loader.levels[i].size()));
    }
}

TEST_F(VarnelLoaderTest, ExportWritesTheColourMapAndReloadsBothMaps) {
    const IwiParams colour{6, 11, 64, 64, 7};
    UseRawLayout({{"rock_c.iwi", MakeIwi(colour)}, {"rock_n.iwi", MakeIwi({6, 13, 32, 32, 6})}});
    theSettings.MergeBUMP = true;
    Select("rock_c.iwi");
    ASSERT_TRUE(theSettings.normalMapLoaded);
    loader.ExportConverted();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(beeper.beeps, 1);
    const auto dds = ReadBytes(RawImages() / "rock_c.dds");
    EXPECT_EQ(dds.size(), 128u + (MakeIwi(colour).size() - 28));
    EXPECT_FALSE(std::filesystem::exists(RawImages() / "rock_n.dds"));
    EXPECT_TRUE(theSettings.MergeBUMP);
    EXPECT_TRUE(theSettings.normalMapLoaded);
    EXPECT_EQ(loader.fileName, "rock_n.iwi");
    // Merged load 1, 2, 3; the colour map alone 4; merged again 5, 6, 7.
    EXPECT_EQ(loader.colorTexture, 5u);
    EXPECT_EQ(loader.normalTexture, 6u);
    EXPECT_EQ(loader.invertedNormalTexture, 7u);
}

// The list box of the program, whose selection goes when the list is filled again.
TEST_F(VarnelLoaderTest, ExportWritesTheColourMapOnDisplayWhateverTheListShowsNow) {
    const IwiParams colour{6, 11, 64, 64, 7};
    UseRawLayout({{"tom_axe_col.iwi", MakeIwi(colour)},
                  {"tom_axe_n.iwi", MakeIwi({6, 13, 32, 32, 6})},
                  {"tom_box_col.iwi", MakeIwi({})}});
    const auto otherGame = dir.path() / "mw2";
    std::filesystem::create_directories(otherGame);
    WriteBytes(otherGame / "tom_axe_col.iwi", MakeIwi({}));
    theSettings.MW2Path = otherGame.string();
    theSettings.MergeBUMP = true;

    struct Case {
        const char* change;
        std::function<void(VarnelLoader&)> apply;
        bool normalMapListed; // the normal map is looked up in the list on display
    };
    const Case cases[] = {
        {"filter", [](VarnelLoader& list) { list.FilterList("axe"); }, true},
        {"refresh",
         [](VarnelLoader& list) {
             list.InvalidateList();
             list.LoadList();
         },
         true},
        {"another game",
         [](VarnelLoader& list) {
             list.SetGame(3);
             list.LoadList();
         },
         false},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(RawImages() / "tom_axe_col.dds");
        QListWidget widget;
        QtListBox box(widget);
        VarnelLoader list;
        list.SetListBox(&box);
        list.SetGame(0);
        list.LoadList();
        widget.setCurrentItem(widget.findItems("tom_axe_col.iwi", Qt::MatchExactly).front());
        list.LoadSelected();
        ASSERT_TRUE(theSettings.normalMapLoaded) << c.change;

        c.apply(list);
        ASSERT_EQ(box.SelectedText(), std::nullopt) << c.change;
        list.ExportConverted();

        EXPECT_TRUE(messages.shown.empty()) << c.change;
        EXPECT_EQ(beeper.beeps, 1) << c.change;
        beeper.beeps = 0;
        EXPECT_EQ(ReadBytes(RawImages() / "tom_axe_col.dds").size(),
                  128u + (MakeIwi(colour).size() - 28))
            << c.change;
        EXPECT_FALSE(std::filesystem::exists(RawImages() / "tom_axe_n.dds")) << c.change;
        EXPECT_FALSE(std::filesystem::exists(otherGame / "tom_axe_col.dds")) << c.change;
        EXPECT_EQ(theSettings.normalMapLoaded, c.normalMapListed) << c.change;
        EXPECT_EQ(list.fileName, c.normalMapListed ? "tom_axe_n.iwi" : "tom_axe_col.iwi")
            << c.change;
    }
}

TEST_F(VarnelLoaderTest, ExportWritesTheColourMapWhenTheNormalMapFailedToUpload) {
    UseRawLayout({{"rock_c.iwi", MakeIwi({})}, {"rock_n.iwi", MakeIwi({})}});
    theSettings.MergeBUMP = true;
    const gl::EntryPoints recording = gl::Api();
    gl::Api() = gl::EntryPoints{};
    Select("rock_c.iwi"); // the object is left holding the normal map, not shown
    gl::Api() = recording;
    messages.shown.clear();
    ASSERT_FALSE(theSettings.normalMapLoaded);
    loader.ExportConverted();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(beeper.beeps, 1);
    EXPECT_TRUE(std::filesystem::exists(RawImages() / "rock_c.dds"));
    EXPECT_FALSE(std::filesystem::exists(RawImages() / "rock_n.dds"));
}

TEST_F(VarnelLoaderTest, ExportBeforeAnyLoadShowsTheFailure) {
    loader.ExportConverted();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"IWI::WriteConvertedFile: Unknown Error_?"}));
    EXPECT_EQ(beeper.beeps, 0);
}

TEST_F(VarnelLoaderTest, ExportAfterAFailedLoadGivesTheLoadsReason) {
    UseRawLayout({{"ui_bg.iwi", {0x89, 'P', 'N', 'G', 13, 10, 26, 10}}});
    Select("ui_bg.iwi");
    messages.shown.clear();
    loader.ExportConverted();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"IWI::WriteConvertedFile: Unknown Error_?\n"
                                                 "Not an IWI or DDS file: ui_bg.iwi"}));
}

} // namespace
