#include "platform/color_button.h"
#include "program_fixture.h"

#include <QKeyEvent>
#include <QTest>

namespace pictavo::testing {
namespace {

TEST_F(ProgramTest, FirstRunAsksForTheGameThenListsShowsFiltersAndExports) {
    script
        .Then(
            "the settings dialog over the main dialog",
            [] { return OpenSettingsDialog() != nullptr; },
            [this] {
                EXPECT_TRUE(MainDialog()->isVisible());
                EXPECT_EQ(MainDialog()->windowTitle(), " Varnel Pictavo");
                EXPECT_TRUE(ImageList().count() == 0);
                SettingsDlg& settings = *OpenSettingsDialog();
                EXPECT_FALSE(FindControl<QPushButton>(settings, SettingsDlg::kSave)->isEnabled());
                browser.answer = images.string();
                Click(settings, SettingsDlg::kBrowseMW2);
                Click(settings, SettingsDlg::kSave);
            })
        .Then(
            "the list of the chosen folder", [] { return MainDialogRunning(); },
            [] {
                EXPECT_EQ(ListedNames(), kSortedNames);
                EXPECT_EQ(Label(CLumideskDlg::kDimensions), "0 x 0");
                EXPECT_EQ(Label(CLumideskDlg::kDataSize), "0x0");
                EXPECT_EQ(Label(CLumideskDlg::kFormat), "-");
                Select("wall_col.iwi");
                EXPECT_EQ(Label(CLumideskDlg::kDimensions), "256 x 128");
                EXPECT_EQ(Label(CLumideskDlg::kDataSize), "0x00004000");
                EXPECT_EQ(Label(CLumideskDlg::kFormat), "DTX1");
                Select("crate.iwi");
                EXPECT_EQ(Label(CLumideskDlg::kDimensions), "128 x 256");
                EXPECT_EQ(Label(CLumideskDlg::kFormat), "DTX5");
            })
        .Then(
            "filtering", [] { return true; },
            [] {
                QTest::keyClicks(&Filter(), "ab");
                EXPECT_EQ(ListedNames(), kSortedNames); // two letters keep the full list
                QTest::keyClicks(&Filter(), "c");
                EXPECT_EQ(ListedNames(), (std::vector<std::string>{"abc_stone.iwi", "abcd.iwi"}));
                QTest::keyClicks(&Filter(), "_");
                EXPECT_EQ(ListedNames(), std::vector<std::string>{"abc_stone.iwi"});
                Filter().clear();
                QTest::keyClicks(&Filter(), "ZEB"); // capitals count
                EXPECT_TRUE(ListedNames().empty());
            })
        .Then(
            "refresh", [] { return true; },
            [this] {
                WriteBytes(images / "new_one.iwi", MakeIwi({6, 11, 4, 4, 1}));
                Click(*MainDialog(), CLumideskDlg::kRefresh);
                EXPECT_EQ(Filter().text(), "");
                std::vector<std::string> expected = kSortedNames;
                expected.insert(expected.begin() + 3, "new_one.iwi");
                EXPECT_EQ(ListedNames(), expected);
            })
        .Then(
            "export", [] { return true; },
            [this] {
                Select("wall_col.iwi");
                Click(*MainDialog(), CLumideskDlg::kExport);
                EXPECT_EQ(beeper.beeps, 1);
                EXPECT_EQ(MessageTexts().size(), 1u) << "only the MW2 folder hint";
                ASSERT_TRUE(fs::exists(images / "wall_col.dds"));
                // The 128-byte header, then the one level.
                EXPECT_EQ(fs::file_size(images / "wall_col.dds"), 128u + 16384u);
            })
        .Then(
            "Escape ends the program", [] { return true; },
            [] { QTest::keyClick(&ImageList(), Qt::Key_Escape); });
    Run();
    EXPECT_EQ(theSettings.ActiveGame, 3);
    EXPECT_EQ(StoredText("MW2Path"), images.string());
}

TEST_F(ProgramTest, ExitInTheFirstRunSettingsEndsWithoutAList) {
    script.Then(
        "the first-run settings dialog", [] { return OpenSettingsDialog() != nullptr; },
        [this] {
            browser.answer = images.string();
            Click(*OpenSettingsDialog(), SettingsDlg::kBrowseMW2);
            Click(*OpenSettingsDialog(), SettingsDlg::kExit);
        });
    Run();
    // No list was loaded, so no folder was looked for; nothing was saved.
    EXPECT_EQ(MessageTexts(),
              std::vector<std::string>{
                  "For MW2 Images just extract all the IWI's form the IWD's and put in a folder."});
    EXPECT_EQ(theSettings.ActiveGame, -1);
    EXPECT_EQ(StoredText("MW2Path"), kPathNotSet);
}

TEST_F(ProgramTest, MainWindowClosedDuringTheFirstRunSettingsEndsWithoutAList) {
    // As an update launched from the settings does: the main window first, then the settings.
    script.Then(
        "the first-run settings dialog", [] { return OpenSettingsDialog() != nullptr; },
        [] {
            MainDialog()->close();
            OpenSettingsDialog()->reject();
        });
    Run();
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front().text;
}

TEST_F(ProgramTest, ExportWaitsForAnImageAndKeysAreNotSaved) {
    SeedMW2Game(images);
    QByteArray storedWhileRunning;
    script
        .Then(
            "the main dialog", [] { return MainDialogRunning(); },
            [this, &storedWhileRunning] {
                EXPECT_EQ(ListedNames(), kSortedNames);
                // The start-up picture is no image of the user's.
                EXPECT_FALSE(
                    FindControl<QPushButton>(*MainDialog(), CLumideskDlg::kExport)->isEnabled());
                EXPECT_EQ(beeper.beeps, 0);
                storedWhileRunning = SettingsFileBytes();
                QTest::keyClick(&ImageList(), Qt::Key_F1);
            })
        .Then(
            "Enter ends the program", [] { return true; },
            [] { QTest::keyClick(&ImageList(), Qt::Key_Return); });
    Run();
    // Switches changed with the keys are not saved at exit.
    EXPECT_TRUE(theSettings.MergeBUMP);
    ASSERT_FALSE(storedWhileRunning.isEmpty());
    EXPECT_EQ(SettingsFileBytes(), storedWhileRunning);
}

TEST_F(ProgramTest, EscapeInTheFirstRunSettingsGoesOnWithNoGame) {
    script
        .Then(
            "the first-run settings dialog", [] { return OpenSettingsDialog() != nullptr; },
            [] { QTest::keyClick(OpenSettingsDialog(), Qt::Key_Escape); })
        .Then(
            "the main dialog", [] { return MainDialogRunning(); },
            [this] {
                // No game chosen: no folder to list.
                EXPECT_EQ(MessageTexts(),
                          std::vector<std::string>{"Folder Not Found!\n\nCheck that a valid "
                                                   "path is set in settings for "
                                                   "the selected game"});
                EXPECT_TRUE(ListedNames().empty());
                MainDialog()->close();
            });
    Run();
    EXPECT_EQ(theSettings.ActiveGame, -1);
}

TEST_F(ProgramTest, SettingsReloadTheListOnlyForAnotherGame) {
    SeedMW2Game(images);
    const fs::path mw3 = dir.path() / "mw3";
    fs::create_directories(mw3);
    WriteBytes(mw3 / "mw3_only.iwi", MakeIwi({6, 11, 4, 4, 1}));
    std::int64_t framesAtSave = 0;
    auto inSettings = [](std::function<void(SettingsDlg&)> act) {
        // The settings dialog runs its own loop: act from inside it.
        QTimer::singleShot(0, [act] {
            if (SettingsDlg* settings = OpenSettingsDialog())
                act(*settings);
            else
                ADD_FAILURE() << "no settings dialog";
        });
        Click(*MainDialog(), CLumideskDlg::kSettings);
    };
    script
        .Then(
            "the main dialog", [] { return MainDialogRunning(); },
            [this, inSettings, &framesAtSave] {
                WriteBytes(images / "late.iwi", MakeIwi({6, 11, 4, 4, 1}));
                inSettings([](SettingsDlg& settings) {
                    EXPECT_FALSE(
                        FindControl<QWidget>(settings, SettingsDlg::kExit)->isVisibleTo(&settings));
                    settings.close(); // as Escape does
                });
                EXPECT_EQ(ListedNames(), kSortedNames) << "the same game is not read again";
                inSettings([](SettingsDlg& settings) {
                    FindControl<ColorButton>(settings, SettingsDlg::kBackgroundColor)
                        ->SetColor(0x00204080);
                    Click(settings, SettingsDlg::kSave);
                });
                EXPECT_EQ(ListedNames(), kSortedNames);
                framesAtSave = FramesDrawn();
            })
        .Then(
            "a frame in the new background colour",
            [&framesAtSave] { return FramesDrawn() > framesAtSave + 2; },
            [] {
                const QImage frame = MainDialog()->View().grabFramebuffer();
                const QColor corner = frame.pixelColor(4, frame.height() - 4);
                EXPECT_EQ(corner, QColor(0x80, 0x40, 0x20)) << corner.name().toStdString();
            })
        .Then(
            "another game", [] { return MainDialogRunning(); },
            [this, mw3, inSettings] {
                browser.answer = mw3.string();
                inSettings([](SettingsDlg& settings) {
                    Click(settings, SettingsDlg::kBrowseMW3);
                    Click(settings, SettingsDlg::kSave);
                });
                EXPECT_EQ(ListedNames(), std::vector<std::string>{"mw3_only.iwi"});
                MainDialog()->close();
            });
    Run();
    EXPECT_EQ(theSettings.ActiveGame, 4);
}

// Pixels of the overlay's text that differ between two frames in the overlay's left half,
// between two heights given in the overlay's 301 units. The picture shows between the letters
// and may change with them (emboss), so only where either frame has the text's colour.
int OverlayChanges(const QImage& a, const QImage& b, int topUnits, int bottomUnits) {
    EXPECT_EQ(a.size(), b.size());
    const std::uint32_t colour = theSettings.color_text; // 0x00bbggrr
    const QRgb text = qRgb(int(colour & 0xFF), int(colour >> 8 & 0xFF), int(colour >> 16 & 0xFF));
    const auto isText = [text](QRgb pixel) { return (pixel & 0xFFFFFF) == (text & 0xFFFFFF); };
    int changed = 0;
    for (int y = a.height() * topUnits / 301; y < a.height() * bottomUnits / 301; ++y)
        for (int x = 0; x < a.width() / 2; ++x) {
            const QRgb before = a.pixel(x, y);
            const QRgb after = b.pixel(x, y);
            changed += before != after && (isText(before) || isText(after));
        }
    return changed;
}

TEST_F(ProgramTest, F1AndF2SwitchTheOverlayAndMinimisingStopsDrawing) {
    SeedMW2Game(images);
    QImage plain;
    QImage merged;
    std::int64_t frames = 0;
    auto framesAfter = [&frames](int more) {
        return [&frames, more] { return FramesDrawn() >= frames + more; };
    };
    auto grab = [&frames] {
        frames = FramesDrawn();
        return MainDialog()->View().grabFramebuffer();
    };
    script
        .Then(
            "frames of the main dialog", [] { return MainDialogRunning() && FramesDrawn() > 2; },
            [&] {
                plain = grab();
                QTest::keyClick(&ImageList(), Qt::Key_F1);
                EXPECT_TRUE(theSettings.MergeBUMP);
            })
        .Then("a frame with the normal-map lines", framesAfter(2),
              [&] {
                  merged = grab();
                  // The first line changes, and lines appear below the frame rate.
                  EXPECT_GT(OverlayChanges(plain, merged, 0, 12), 20);
                  EXPECT_GT(OverlayChanges(plain, merged, 23, 44), 20);
                  QTest::keyClick(&Filter(), Qt::Key_F2);
                  EXPECT_TRUE(theSettings.embossOn);
                  EXPECT_EQ(Filter().text(), ""); // the keys never reach the controls
              })
        .Then("a frame with emboss on", framesAfter(2),
              [&] {
                  const QImage embossed = grab();
                  // Only the emboss line, the last, changes.
                  EXPECT_EQ(OverlayChanges(merged, embossed, 23, 33), 0);
                  EXPECT_GT(OverlayChanges(merged, embossed, 33, 44), 10);
                  QTest::keyClick(&Filter(), Qt::Key_F1);
                  QTest::keyClick(&Filter(), Qt::Key_F2);
                  EXPECT_FALSE(theSettings.MergeBUMP);
                  EXPECT_FALSE(theSettings.embossOn);
                  MainDialog()->setWindowState(Qt::WindowMinimized);
                  EXPECT_TRUE(theSettings.dialogMinimized);
                  frames = FramesDrawn();
              })
        .Pause(300)
        .Then(
            "no frames while minimised", [] { return true; },
            [&] {
                EXPECT_EQ(FramesDrawn(), frames);
                MainDialog()->setWindowState(Qt::WindowNoState);
                EXPECT_FALSE(theSettings.dialogMinimized);
            })
        .Then("frames again once restored", framesAfter(3), [] { MainDialog()->close(); });
    Run();
}

} // namespace
} // namespace pictavo::testing
