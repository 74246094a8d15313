// The main window opening what the user names: the command line, drops, archives and a game
// root that keeps its images in main/*.iwd only; the info panel, the status line and the
// pictures written from the view.
#include "app/file_chooser.h"
#include "app/recent_files.h"
#include "imagelist/image_listing.h"
#include "program_fixture.h"
#include "texture/decode.h"
#include "texture/texture_reader.h"
#include "zip_builder.h"

#include <QAction>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <QUrl>
#include <QWindow>
#include <algorithm>
#include <cctype>
#include <sstream>

namespace pictavo::testing {
namespace {

class ScriptedFileChooser final : public FileChooser {
public:
    std::vector<std::string> ChooseFilesToOpen(QWidget*, const std::string&,
                                               const std::string& filter) override {
        filters.push_back(filter);
        return open;
    }
    std::optional<SaveChoice> ChooseFileToSave(QWidget*, const std::string&,
                                               const std::string& suggestedPath,
                                               const std::string&) override {
        suggested = suggestedPath;
        return save;
    }

    std::vector<std::string> open;
    std::vector<std::string> filters; // of each open asked for
    std::optional<SaveChoice> save;
    std::string suggested;
};

std::string InfoText() {
    return FindControl<QPlainTextEdit>(*MainDialog(), CLumideskDlg::kInfoPanel)
        ->toPlainText()
        .toStdString();
}

std::string StatusText() {
    return Label(CLumideskDlg::kStatusLine);
}

void Trigger(const char* action) {
    QAction* found = MainDialog()->findChild<QAction*>(action);
    ASSERT_NE(found, nullptr) << action;
    found->trigger();
}

// Drags `path` over the middle of `target` and drops it there, through the window as a
// drag from another program arrives.
void DropOn(QWidget& target, const fs::path& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path.string()))});
    QWindow* window = MainDialog()->windowHandle();
    const QPoint at = target.mapTo(MainDialog(), target.rect().center());
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    EXPECT_TRUE(enter.isAccepted()) << path;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
}

// The level of an IWI file as the decoder gives it, against a picture file read by Qt.
void ExpectPictureOfLevel(const Bytes& iwi, std::uint32_t level, const fs::path& picture) {
    Texture texture;
    ASSERT_EQ(ReadTexture(iwi, texture), TextureError::kNone);
    RgbaImage decoded;
    ASSERT_TRUE(DecodeLevel(*FindFormat(texture.info.format), texture.info.LevelWidth(level),
                            texture.info.LevelHeight(level), texture.Image(level), decoded));
    const QImage written =
        QImage(QString::fromStdString(picture.string())).convertToFormat(QImage::Format_RGBA8888);
    ASSERT_EQ(written.width(), int(decoded.width)) << picture;
    ASSERT_EQ(written.height(), int(decoded.height)) << picture;
    for (int y = 0; y < written.height(); ++y) {
        const std::uint8_t* row = written.constScanLine(y);
        ASSERT_TRUE(std::equal(row, row + 4 * decoded.width,
                               decoded.pixels.begin() + std::ptrdiff_t(y) * 4 * decoded.width))
            << "row " << y;
    }
}

// The patterns of a chooser's first filter: "*.iwi" and "*.IWI" of "Images (*.iwi *.IWI);;...".
std::vector<std::string> FirstFilterPatterns(const std::string& filters) {
    const std::size_t open = filters.find('(');
    const std::size_t close = filters.find(')', open);
    std::istringstream patterns(filters.substr(open + 1, close - open - 1));
    std::vector<std::string> found;
    for (std::string pattern; patterns >> pattern;)
        found.push_back(pattern);
    return found;
}

std::string InCase(std::string text, int (*change)(int)) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [change](unsigned char c) { return static_cast<char>(change(c)); });
    return text;
}

using ProgramOpenTest = ProgramTest;

TEST_F(ProgramOpenTest, AFileOnAFirstStartShowsAtOnceAndTheSettingsWaitForTheGamesList) {
    theApp.openPaths = {(images / "crate.iwi").string()};
    script.Then(
        "the file shown",
        [] { return MainDialogRunning() && Label(CLumideskDlg::kDimensions) == "128 x 256"; },
        [this] {
            EXPECT_EQ(ListedNames(), kSortedNames) << "its folder";
            EXPECT_EQ(ImageList().currentItem()->text(), "crate.iwi");
            EXPECT_EQ(Label(CLumideskDlg::kFormat), "DTX5");
            const std::string info = InfoText();
            EXPECT_NE(info.find("Container: IWI v13\nFormat: DXT5\n"), std::string::npos) << info;
            EXPECT_NE(info.find("Size: 128 x 256\n"), std::string::npos) << info;
            EXPECT_NE(info.find("File: " + (images / "crate.iwi").string()), std::string::npos)
                << info;
            EXPECT_EQ(StatusText(), "5 images listed");
            EXPECT_TRUE(boxes.shown.empty());
            EXPECT_EQ(theSettings.ActiveGame, -1);
            // Asked for now, the game's list needs a game first.
            QTimer::singleShot(0, [this] {
                SettingsDlg* settings = OpenSettingsDialog();
                ASSERT_NE(settings, nullptr);
                browser.answer = (dir.path() / "mw2").string();
                Click(*settings, SettingsDlg::kBrowseMW2);
                Click(*settings, SettingsDlg::kSave);
            });
            fs::create_directories(dir.path() / "mw2");
            WriteBytes(dir.path() / "mw2" / "game.iwi", MakeIwi({}));
            Trigger("fileGameImages");
            EXPECT_EQ(ListedNames(), std::vector<std::string>{"game.iwi"});
            MainDialog()->close();
        });
    Run();
    EXPECT_EQ(theSettings.ActiveGame, 3);
    EXPECT_EQ(LoadRecentFiles().Paths(), std::vector<std::string>{(images / "crate.iwi").string()});
}

TEST_F(ProgramOpenTest, SeveralFoldersOnTheCommandLineAreListedTogether) {
    SeedMW2Game(images);
    const fs::path other = dir.path() / "other";
    fs::create_directories(other);
    WriteBytes(other / "crate.iwi", MakeIwi({6, 11, 16, 8, 1}));
    theApp.openPaths = {images.string(), other.string()};
    script.Then(
        "both folders listed", [] { return MainDialogRunning() && ImageList().count() > 0; },
        [] {
            EXPECT_EQ(ListedNames(), (std::vector<std::string>{
                                         "abc_stone.iwi [mw2 images]", "abcd.iwi [mw2 images]",
                                         "crate.iwi [mw2 images]", "crate.iwi [other]",
                                         "wall_col.iwi [mw2 images]", "Zebra.iwi [mw2 images]"}));
            EXPECT_EQ(StatusText(), "6 images listed");
            Select("crate.iwi [other]");
            EXPECT_EQ(Label(CLumideskDlg::kDimensions), "16 x 8");
            MainDialog()->close();
        });
    Run();
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front().text;
}

TEST_F(ProgramOpenTest, DropsOpenAFolderAndAnArchiveWhoseEntriesShowExportAndWritePictures) {
    SeedMW2Game(images);
    const fs::path other = dir.path() / "other";
    fs::create_directories(other);
    WriteBytes(other / "x.iwi", MakeIwi({}));
    WriteBytes(other / "y.DDS", MakeDds({}));
    const Bytes entry = MakeIwi({6, 13, 64, 32, 7});
    const fs::path archive = dir.path() / "pack.iwd";
    WriteZip(archive, {{"images/a.iwi", entry},
                       {"images/b.dds", MakeDds({})},
                       {"images/../evil.iwi", MakeIwi({})}});
    const fs::path out = dir.path() / "out";
    fs::create_directories(out);
    ScriptedFileChooser chooser;
    ScopedReplacement<FileChooser> useChooser(chooser);
    script.Then(
        "the game's list", [] { return MainDialogRunning(); },
        [&] {
            EXPECT_EQ(ListedNames(), kSortedNames);
            DropOn(MainDialog()->View(), other);
            EXPECT_EQ(ListedNames(), (std::vector<std::string>{"x.iwi", "y.DDS"}));
            DropOn(*MainDialog(), archive);
            EXPECT_EQ(ListedNames(), (std::vector<std::string>{"a.iwi", "b.dds"}));
            EXPECT_EQ(StatusText().rfind("2 images listed; 1 not: pack.iwd: ", 0), 0u)
                << StatusText();
            EXPECT_TRUE(boxes.shown.empty());

            Select("a.iwi");
            EXPECT_EQ(Label(CLumideskDlg::kDimensions), "64 x 32");
            EXPECT_EQ(Label(CLumideskDlg::kFormat), "DTX5");
            const std::string info = InfoText();
            EXPECT_NE(info.find("Levels: 7\n  0: 64 x 32 (2 KiB)\n"), std::string::npos) << info;
            EXPECT_NE(info.find("Archive: " + archive.string() + "\nEntry: images/a.iwi"),
                      std::string::npos)
                << info;

            browser.answer = out.string();
            Click(*MainDialog(), CLumideskDlg::kExport);
            EXPECT_EQ(beeper.beeps, 1);
            EXPECT_TRUE(fs::exists(out / "a.dds"));

            chooser.save = FileChooser::SaveChoice{(out / "level0").string(), "PNG image"};
            Trigger("fileExportImageAs");
            EXPECT_EQ(chooser.suggested, "a.png");
            ExpectPictureOfLevel(entry, 0, out / "level0.png");
            MainDialog()->View().SetLevel(2);
            chooser.save = FileChooser::SaveChoice{(out / "level2.PNG").string(), "TGA image"};
            Trigger("fileExportImageAs");
            ExpectPictureOfLevel(entry, 2, out / "level2.PNG");
            EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front().text;

            // A recent entry that has gone is dropped with a word.
            fs::remove_all(other);
            MainDialog()->OpenRecent(other.string());
            EXPECT_EQ(boxes.shown.size(), 1u);
            EXPECT_EQ(LoadRecentFiles().Paths(), std::vector<std::string>{archive.string()});
            EXPECT_EQ(ListedNames(), (std::vector<std::string>{"a.iwi", "b.dds"}));
            MainDialog()->close();
        });
    Run();
}

TEST_F(ProgramOpenTest, MaterialPartnersAcrossAFolderAndAnArchiveAndTheLitFrameExported) {
    SeedMW2Game(images);
    const fs::path mats = dir.path() / "mats";
    fs::create_directories(mats);
    WriteBytes(mats / "wall_col.iwi", MakeIwi({6, 13, 64, 64, 7}));
    WriteBytes(mats / "wall_nml.iwi", MakeIwi({6, 13, 64, 64, 7}));
    WriteBytes(mats / "wallpaper_nml.iwi", MakeIwi({}));
    const fs::path archive = dir.path() / "pack.iwd";
    WriteZip(archive, {{"images/~wall_spec-rgb&wall_cos-l~0badf00d.iwi", MakeIwi({})}});
    const fs::path out = dir.path() / "out";
    fs::create_directories(out);
    ScriptedFileChooser chooser;
    ScopedReplacement<FileChooser> useChooser(chooser);
    script.Then(
        "the game's list", [] { return MainDialogRunning(); },
        [&] {
            MainDialog()->OpenPaths({mats.string(), archive.string()});
            Select("wall_col.iwi [mats]");
            const std::string info = InfoText();
            EXPECT_NE(info.find("Normal map: wall_nml.iwi [mats]\nSpecular map: "
                                "~wall_spec-rgb&wall_cos-l~0badf00d.iwi [pack.iwd]\n"),
                      std::string::npos)
                << info;

            // Its button reads the partners and gives the normal map's check at once.
            for (QAction* action : MainDialog()->findChildren<QAction*>()) {
                if (action->text() == "Material")
                    action->trigger();
            }
            EXPECT_EQ(StatusText().rfind("Normal map wall_nml.iwi [mats]: ", 0), 0u)
                << StatusText();
            EXPECT_NE(StatusText().find(" of texels off"), std::string::npos) << StatusText();

            // In Material, the picture written is the lit frame at the view's size.
            COpenGLControl& view = MainDialog()->View();
            ASSERT_EQ(view.Mode(), COpenGLControl::ViewMode::kMaterial);
            chooser.save = FileChooser::SaveChoice{(out / "lit.png").string(), "PNG image"};
            Trigger("fileExportImageAs");
            const QImage lit(QString::fromStdString((out / "lit.png").string()));
            const qreal ratio = view.devicePixelRatioF();
            EXPECT_EQ(lit.width(), qRound(view.width() * ratio));
            EXPECT_EQ(lit.height(), qRound(view.height() * ratio));
            EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front().text;

            // View > Material's choices each set their own setting, the others kept.
            for (QAction* action : MainDialog()->findChildren<QAction*>()) {
                if (action->text() == "On a C&ube" || action->text() == "Normals as &Colours")
                    action->trigger();
            }
            EXPECT_EQ(view.Material().shape, MaterialShape::kCube);
            EXPECT_EQ(view.Material().show, pictavo::MaterialShow::kNormals);

            Select("wallpaper_nml.iwi [mats]");
            EXPECT_EQ(InfoText().find("map: "), std::string::npos) << "no partners";
            MainDialog()->close();
        });
    Run();
}

TEST_F(ProgramOpenTest, AStockGameRootListsTheImagesOfItsArchivesTheLaterOneWinning) {
    const fs::path root = dir.path() / "cod4";
    fs::create_directories(root / "main");
    WriteZip(root / "main" / "iw_00.iwd", {{"images/wall.iwi", MakeIwi({6, 11, 8, 8, 1})},
                                           {"images/sky.iwi", MakeIwi({6, 11, 16, 16, 1})}});
    WriteZip(root / "main" / "iw_01.iwd", {{"images/wall.iwi", MakeIwi({6, 11, 32, 64, 1})}});
    WriteBytes(root / "main" / "iw_02.iwd", Bytes(100, 7));
    SeedGame("Cod4Path", root, 0);
    script.Then(
        "the game's list", [] { return MainDialogRunning(); },
        [] {
            EXPECT_EQ(ListedNames(),
                      (std::vector<std::string>{"sky.iwi [iw_00.iwd]", "wall.iwi [iw_01.iwd]"}));
            EXPECT_EQ(StatusText().rfind("2 images listed; 1 not: ", 0), 0u) << StatusText();
            EXPECT_NE(StatusText().find("iw_02.iwd"), std::string::npos) << StatusText();
            QTest::keyClicks(&Filter(), "wal");
            EXPECT_EQ(ListedNames(), std::vector<std::string>{"wall.iwi [iw_01.iwd]"});
            Select("wall.iwi [iw_01.iwd]");
            EXPECT_EQ(Label(CLumideskDlg::kDimensions), "32 x 64");
            MainDialog()->close();
        });
    Run();
    EXPECT_TRUE(boxes.shown.empty()) << "no Folder Not Found, no box per problem";
}

TEST_F(ProgramOpenTest, ExportAsksBeforeReplacingAFileAndNoKeepsIt) {
    SeedMW2Game(images);
    const Bytes own = {'m', 'o', 'd', 'd', 'e', 'r'};
    const IwiParams small{6, 11, 8, 8, 1};
    WriteBytes(images / "painted.iwi", MakeIwi(small));
    WriteBytes(images / "painted.dds", own);
    const fs::path archive = dir.path() / "pack.iwd";
    WriteZip(archive, {{"images/a.iwi", MakeIwi(small)}});
    const fs::path out = dir.path() / "out";
    fs::create_directories(out);
    WriteBytes(out / "a.dds", own);
    browser.answer = out.string();
    struct Case {
        const char* what;
        std::function<void()> show;
        fs::path target;
    };
    script.Then(
        "the game's list", [] { return MainDialogRunning(); },
        [&] {
            const Case cases[] = {
                {"beside the image", [] { Select("painted.iwi"); }, images / "painted.dds"},
                {"an archive entry into the chosen folder",
                 [&] {
                     MainDialog()->OpenPaths({archive.string()});
                     Select("a.iwi");
                 },
                 out / "a.dds"},
            };
            for (const Case& c : cases) {
                c.show();
                const std::size_t files = Tree(c.target.parent_path()).size();
                boxes.asked.clear();
                beeper.beeps = 0;
                boxes.answer = false;
                Click(*MainDialog(), CLumideskDlg::kExport);
                ASSERT_EQ(boxes.asked.size(), 1u) << c.what;
                EXPECT_EQ(boxes.asked[0].text,
                          c.target.string() + "\n\nexists already. Replace it?");
                EXPECT_EQ(ReadBytes(c.target), own) << c.what;
                EXPECT_EQ(Tree(c.target.parent_path()).size(), files) << c.what;
                EXPECT_EQ(beeper.beeps, 0) << c.what;

                boxes.answer = true;
                Click(*MainDialog(), CLumideskDlg::kExport);
                EXPECT_EQ(boxes.asked.size(), 2u) << c.what;
                EXPECT_EQ(ReadBytes(c.target).size(), 128u + 32u) << c.what; // one DXT1 level
                EXPECT_EQ(Tree(c.target.parent_path()).size(), files) << c.what;
                EXPECT_EQ(beeper.beeps, 1) << c.what;
            }
            EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front().text;
            MainDialog()->close();
        });
    Run();
}

TEST_F(ProgramOpenTest, ExportImageAsWithNothingShownWritesNothing) {
    SeedMW2Game(images);
    ScriptedFileChooser chooser;
    ScopedReplacement<FileChooser> useChooser(chooser);
    const fs::path picture = dir.path() / "noimage.png";
    chooser.save = FileChooser::SaveChoice{picture.string(), "PNG image"};
    script.Then(
        "the start-up picture", [] { return MainDialogRunning(); },
        [&] {
            QAction* exportImageAs = MainDialog()->findChild<QAction*>("fileExportImageAs");
            ASSERT_NE(exportImageAs, nullptr);
            EXPECT_FALSE(exportImageAs->isEnabled());
            Trigger("fileExportImageAs");
            MainDialog()->OnExportImageAs(); // however it is reached
            EXPECT_EQ(chooser.suggested, "");
            EXPECT_FALSE(fs::exists(picture));
            EXPECT_EQ(MessageTexts(), std::vector<std::string>{"No image to export."});
            Select("crate.iwi");
            EXPECT_TRUE(exportImageAs->isEnabled());
            MainDialog()->close();
        });
    Run();
}

TEST_F(ProgramOpenTest, MenuShortcutsWorkWhileTheFilterHasTheFocus) {
    SeedMW2Game(images);
    ScriptedFileChooser chooser;
    ScopedReplacement<FileChooser> useChooser(chooser);
    const fs::path picture = dir.path() / "crate.png";
    chooser.save = FileChooser::SaveChoice{picture.string(), "PNG image"};
    script.Then(
        "the game's list", [] { return MainDialogRunning(); },
        [&] {
            Select("crate.iwi");
            QApplication::setActiveWindow(MainDialog());
            Filter().setFocus();
            // The view's plain-letter shortcuts (R, A) leave typing alone.
            QTest::keyClicks(&Filter(), "cra");
            EXPECT_EQ(Filter().text(), "cra");
            QTest::keyClick(&Filter(), Qt::Key_E, Qt::ControlModifier);
            EXPECT_EQ(chooser.suggested, "crate.png");
            EXPECT_TRUE(fs::exists(picture));
            EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front().text;
            MainDialog()->close();
        });
    Run();
}

TEST_F(ProgramOpenTest, TheStatusLineCountsWhatTheFilterLeaves) {
    SeedMW2Game(images);
    script.Then(
        "the game's list", [] { return MainDialogRunning(); },
        [] {
            EXPECT_EQ(StatusText(), "5 images listed");
            QTest::keyClicks(&Filter(), "abc");
            EXPECT_EQ(StatusText(), "2 of 5 images listed");
            Select("abcd.iwi");
            EXPECT_EQ(StatusText(), "2 of 5 images listed");
            QTest::keyClicks(&Filter(), "d");
            EXPECT_EQ(StatusText(), "1 of 5 images listed");
            Filter().clear();
            EXPECT_EQ(StatusText(), "5 images listed");
            MainDialog()->close();
        });
    Run();
}

TEST_F(ProgramOpenTest, AFailedLoadKeepsItsBoxAndNamesTheReasonInTheStatusLine) {
    SeedMW2Game(images);
    WriteBytes(images / "ui_bg.iwi", {0x89, 'P', 'N', 'G', 13, 10, 26, 10});
    script.Then(
        "the game's list", [] { return MainDialogRunning(); },
        [this] {
            Select("crate.iwi");
            Select("ui_bg.iwi");
            EXPECT_EQ(MessageTexts(),
                      std::vector<std::string>{"IWI::LoadFile: Unknown Error_?\n"
                                               "Not an IWI or DDS file: ui_bg.iwi"});
            EXPECT_EQ(StatusText(), "Not an IWI or DDS file: ui_bg.iwi");
            EXPECT_FALSE(MainDialog()->findChild<QAction*>("fileExportImageAs")->isEnabled());
            Select("crate.iwi");
            EXPECT_EQ(StatusText(), "6 images listed");
            MainDialog()->close();
        });
    Run();
}

// A Black Ops II format 2 file: the info panel and the status line say what is wrong with it,
// and View > Read as 4-Byte Texels, offered for such files only, reads its bytes as the 4-byte
// texels they are, and back.
TEST_F(ProgramOpenTest, CutTexelsAreToldAndReadAsFourByteTexelsFromTheViewMenu) {
    SeedMW2Game(images);
    const Bytes cut = MakeIwi({27, 2, 8, 4, 1, 2});
    WriteBytes(images / "flare.iwi", cut);
    Texture texture;
    ASSERT_EQ(ReadTexture(cut, texture), TextureError::kNone);
    const std::string warning = texture.info.WarningText();
    ASSERT_FALSE(warning.empty());
    script.Then(
        "the game's list", [] { return MainDialogRunning(); },
        [&warning] {
            QAction* reading = MainDialog()->findChild<QAction*>("viewReadAs4ByteTexels");
            ASSERT_NE(reading, nullptr);
            const auto shownFormat = [] {
                const Texture* shown = MainDialog()->View().InspectedTexture();
                return shown != nullptr ? int(shown->info.format) : -1;
            };
            Select("crate.iwi");
            EXPECT_FALSE(reading->isEnabled());
            Select("flare.iwi");
            EXPECT_TRUE(reading->isEnabled());
            EXPECT_FALSE(reading->isChecked());
            EXPECT_EQ(StatusText(), warning);
            EXPECT_NE(InfoText().find("Format: RGB8\nWarning: " + warning), std::string::npos)
                << InfoText();
            EXPECT_EQ(shownFormat(), kFormatBgr8);
            reading->trigger();
            EXPECT_TRUE(reading->isChecked());
            EXPECT_EQ(shownFormat(), kFormatBgra8);
            EXPECT_NE(InfoText().find("read as 4-byte texels"), std::string::npos) << InfoText();
            EXPECT_EQ(StatusText(), warning);
            reading->trigger();
            EXPECT_EQ(shownFormat(), kFormatBgr8);
            Select("crate.iwi");
            EXPECT_EQ(StatusText(), "6 images listed");
            MainDialog()->close();
        });
    Run();
}

// File > Open and View > Compare > With a File offer every extension in lower and upper case,
// which file dialogs on Linux tell apart, and Compare every image Open does.
TEST_F(ProgramOpenTest, TheOpenChoosersOfferEachExtensionInBothCases) {
    SeedMW2Game(images);
    ScriptedFileChooser chooser;
    ScopedReplacement<FileChooser> useChooser(chooser);
    script.Then(
        "the game's list", [] { return MainDialogRunning(); },
        [&chooser] {
            Select("crate.iwi");
            Trigger("fileOpen");
            MainDialog()->Compare().WithFile();
            ASSERT_EQ(chooser.filters.size(), 2u);
            const std::vector<std::string> opens = FirstFilterPatterns(chooser.filters[0]);
            const std::vector<std::string> compares = FirstFilterPatterns(chooser.filters[1]);
            const auto offers = [](const std::vector<std::string>& patterns,
                                   const std::string& pattern) {
                return std::find(patterns.begin(), patterns.end(), pattern) != patterns.end();
            };
            for (const std::string& filters : chooser.filters) {
                EXPECT_NE(filters.find(";;All files (*)"), std::string::npos) << filters;
                const std::vector<std::string> patterns = FirstFilterPatterns(filters);
                for (const std::string& pattern : patterns) {
                    EXPECT_TRUE(offers(patterns, InCase(pattern, ::tolower))) << filters;
                    EXPECT_TRUE(offers(patterns, InCase(pattern, ::toupper))) << filters;
                }
            }
            for (const std::string& pattern : opens) {
                if (IsImageName("a" + pattern.substr(1))) {
                    EXPECT_TRUE(offers(compares, pattern)) << pattern;
                }
            }
            MainDialog()->close();
        });
    Run();
}

} // namespace
} // namespace pictavo::testing
