#include "app/lumidesk_app.h"
#include "app/settings_dlg.h"
#include "app_test_support.h"
#include "image_files.h"
#include "platform/color_button.h"
#include "update/update_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <fstream>
#include <memory>

namespace pictavo::testing {
namespace {

namespace fs = std::filesystem;

class SettingsDlgTest : public AppDoublesTest {
protected:
    SettingsDlgTest() { store.CreateKey(kSettingsKey); }

    // Opens the dialog as its opener does, filled from the settings as they are now.
    SettingsDlg& Open(bool firstRun) {
        dialog = std::make_unique<SettingsDlg>();
        dialog->firstRun = firstRun;
        if (firstRun)
            dialog->exitFlag = &exitChosen;
        dialog->show();
        return *dialog;
    }

    QLineEdit& Edit(int id) { return *FindControl<QLineEdit>(*dialog, id); }
    QCheckBox& Box(int id) { return *FindControl<QCheckBox>(*dialog, id); }
    QPushButton& Button(int id) { return *FindControl<QPushButton>(*dialog, id); }
    ColorButton& Colour(int id) { return *FindControl<ColorButton>(*dialog, id); }
    int Selected() {
        return FindControl<QComboBox>(*dialog, SettingsDlg::kActiveList)->currentIndex();
    }
    bool Shown(int id) { return FindControl<QWidget>(*dialog, id)->isVisibleTo(dialog.get()); }

    // Browses with `browseId` and answers the browser with `folder`.
    void Browse(int browseId, const fs::path& folder) {
        browser.answer = folder.string();
        Click(*dialog, browseId);
    }

    const MemoryKeyStore::Values& Stored() { return store.keys[kSettingsKey]; }

    TempDir games;
    bool exitChosen = false;
    std::unique_ptr<SettingsDlg> dialog;
};

struct GameRoot {
    int browseId;
    int editId;
    int game;
    const char* title;
    const char* notARoot;
};

const GameRoot kGameRoots[] = {
    {SettingsDlg::kBrowseCod4, SettingsDlg::kCod4Path, 0,
     "Please browse to your 'Call of duty 4' Root directoy. (not raw)",
     "This dose not seam to be the root directoy for 'Cod4'."},
    {SettingsDlg::kBrowseCod5, SettingsDlg::kCod5Path, 1,
     "Please browse to your 'Call of duty 5' Root directoy. (not raw)",
     "This dose not seam to be the root directoy for 'Cod5'."},
    {SettingsDlg::kBrowseBO, SettingsDlg::kBOPath, 2,
     "Please browse to your 'Call of duty Black Ops' Root directoy. (not raw)",
     "This dose not seam to be the root directoy for 'Cod BO'."},
};

TEST_F(SettingsDlgTest, FirstRunModeAsksForFoldersBeforeSaving) {
    theSettings.ActiveGame = 3;
    Open(true);
    EXPECT_EQ(dialog->windowTitle(), "Settings");
    EXPECT_FALSE(Button(SettingsDlg::kSave).isEnabled());
    EXPECT_TRUE(Shown(SettingsDlg::kExit));
    EXPECT_TRUE(Shown(SettingsDlg::kFirstRunHint));
    EXPECT_EQ(FindControl<QLabel>(*dialog, SettingsDlg::kFirstRunHint)->text(),
              "Please set the game path's. You will only have to do this once.");
    EXPECT_EQ(Selected(), 0);
    // A disabled Save stores nothing.
    Click(*dialog, SettingsDlg::kSave);
    EXPECT_TRUE(store.writes.empty());
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(SettingsDlgTest, NormalModeHidesExitAndHintAndShowsTheActiveGame) {
    struct Case {
        std::int32_t activeGame;
        int selected;
    };
    for (const Case c : {Case{-1, -1}, Case{0, 0}, Case{4, 4}, Case{7, -1}}) {
        theSettings.ActiveGame = c.activeGame;
        Open(false);
        EXPECT_TRUE(Button(SettingsDlg::kSave).isEnabled());
        EXPECT_FALSE(Shown(SettingsDlg::kExit));
        EXPECT_FALSE(Shown(SettingsDlg::kFirstRunHint));
        EXPECT_EQ(Selected(), c.selected) << "ActiveGame " << c.activeGame;
    }
    auto* games = FindControl<QComboBox>(*dialog, SettingsDlg::kActiveList);
    ASSERT_EQ(games->count(), 5);
    const char* names[] = {"Cod4", "Cod5", "CodBO", "MW2", "MW3"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(games->itemText(i), names[i]);
}

TEST_F(SettingsDlgTest, ControlsShowTheSettings) {
    theSettings.Cod4Path = "/games/cod4";
    theSettings.Cod5Path = "/games/cod5";
    theSettings.BOPath = "/games/bo";
    theSettings.MW2Path = "/images/mw2";
    theSettings.MW3Path = "/images/mw3";
    theSettings.StrecImage = 0;
    theSettings.EnableZoom = 1;
    theSettings.MergeBUMP = true;
    theSettings.new_3DCubeView = false;
    theSettings.Vsync = true;
    theSettings.color_background = 0x00123456;
    theSettings.color_text = 0x0000FF00;
    Open(false);
    EXPECT_EQ(Edit(SettingsDlg::kCod4Path).text(), "/games/cod4");
    EXPECT_EQ(Edit(SettingsDlg::kCod5Path).text(), "/games/cod5");
    EXPECT_EQ(Edit(SettingsDlg::kBOPath).text(), "/games/bo");
    EXPECT_EQ(Edit(SettingsDlg::kMW2Path).text(), "/images/mw2");
    EXPECT_EQ(Edit(SettingsDlg::kMW3Path).text(), "/images/mw3");
    EXPECT_TRUE(Edit(SettingsDlg::kCod4Path).isReadOnly());
    EXPECT_EQ(Edit(SettingsDlg::kZoomButton).text(), "Rmb");
    EXPECT_EQ(Edit(SettingsDlg::kDragButton).text(), "Lmb");
    EXPECT_FALSE(Box(SettingsDlg::kResizePlane).isChecked());
    EXPECT_TRUE(Box(SettingsDlg::kEnableZoom).isChecked());
    EXPECT_TRUE(Box(SettingsDlg::kMergeBumpMap).isChecked());
    EXPECT_FALSE(Box(SettingsDlg::kCubeView).isChecked());
    EXPECT_TRUE(Box(SettingsDlg::kVsync).isChecked());
    EXPECT_EQ(Colour(SettingsDlg::kBackgroundColor).GetColor(), 0x00123456u);
    EXPECT_EQ(Colour(SettingsDlg::kTextColor).GetColor(), 0x0000FF00u);
}

TEST_F(SettingsDlgTest, EachRootBrowserHasItsTitleAndFillsItsEdit) {
    for (const GameRoot& root : kGameRoots) {
        Open(false);
        browser.requests.clear();
        const fs::path folder = MakeGameRoot(games.path() / ("root" + std::to_string(root.game)));
        Browse(root.browseId, folder);
        ASSERT_EQ(browser.requests.size(), 1u);
        EXPECT_EQ(browser.requests[0].title, root.title);
        EXPECT_EQ(browser.requests[0].owner, dialog.get());
        EXPECT_EQ(browser.requests[0].initialFolder, "");
        EXPECT_EQ(Edit(root.editId).text().toStdString(), folder.string());
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SettingsDlgTest, FirstAcceptedRootPicksItsGameAndLaterOnesDoNot) {
    for (const GameRoot& first : kGameRoots) {
        Open(true);
        Browse(first.browseId, MakeGameRoot(games.path() / "first"));
        EXPECT_EQ(Selected(), first.game) << first.title;
        EXPECT_TRUE(Button(SettingsDlg::kSave).isEnabled());
        for (const GameRoot& later : kGameRoots) {
            if (later.game == first.game)
                continue;
            Browse(later.browseId, MakeGameRoot(games.path() / "later"));
            EXPECT_EQ(Selected(), first.game) << later.title;
            EXPECT_EQ(Edit(later.editId).text().toStdString(), (games.path() / "later").string());
        }
    }
}

TEST_F(SettingsDlgTest, NormalModePicksAGameOnlyAfterACod4Browse) {
    theSettings.ActiveGame = 3;
    Open(false);
    Browse(SettingsDlg::kBrowseCod5, MakeGameRoot(games.path() / "cod5"));
    Browse(SettingsDlg::kBrowseBO, MakeGameRoot(games.path() / "bo"));
    EXPECT_EQ(Selected(), 3);

    // A Cod4 browse, even a refused one, turns on the first-run picking.
    Browse(SettingsDlg::kBrowseCod4, games.path());
    EXPECT_EQ(Selected(), 3);
    Browse(SettingsDlg::kBrowseBO, MakeGameRoot(games.path() / "bo"));
    EXPECT_EQ(Selected(), 2);
    Browse(SettingsDlg::kBrowseCod4, MakeGameRoot(games.path() / "cod4"));
    EXPECT_EQ(Selected(), 2);
    EXPECT_FALSE(Shown(SettingsDlg::kExit));
}

TEST_F(SettingsDlgTest, AStockInstallWithArchivesAndNoRawFolderIsARoot) {
    const fs::path stock = games.path() / "stock";
    fs::create_directories(stock / "Main");
    WriteBytes(stock / "Main" / "IW_00.IWD", {0});
    for (const GameRoot& root : kGameRoots) {
        Open(true);
        boxes.shown.clear();
        Browse(root.browseId, stock);
        EXPECT_TRUE(boxes.shown.empty()) << root.title;
        EXPECT_EQ(Edit(root.editId).text().toStdString(), stock.string());
        EXPECT_EQ(Selected(), root.game);
        EXPECT_TRUE(Button(SettingsDlg::kSave).isEnabled());
    }
}

TEST_F(SettingsDlgTest, FoldersWithoutAnExactRawFolderAreRefused) {
    const fs::path capital = games.path() / "capital";
    fs::create_directories(capital / "Raw");
    const fs::path file = games.path() / "file";
    fs::create_directories(file);
    std::ofstream(file / "raw") << "not a folder";
    const fs::path inside = MakeGameRoot(games.path() / "game") / "raw";

    for (const GameRoot& root : kGameRoots) {
        for (const fs::path& folder : {capital, file, inside}) {
            Open(true);
            boxes.shown.clear();
            Browse(root.browseId, folder);
            ASSERT_EQ(boxes.shown.size(), 1u) << folder;
            EXPECT_EQ(boxes.shown[0].text, root.notARoot);
            EXPECT_EQ(boxes.shown[0].caption, "Varnel");
            EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Exclamation);
            EXPECT_EQ(boxes.shown[0].owner, dialog.get());
            EXPECT_EQ(Edit(root.editId).text(), kPathNotSet);
            EXPECT_EQ(Selected(), 0);
            EXPECT_FALSE(Button(SettingsDlg::kSave).isEnabled());
        }
    }
}

TEST_F(SettingsDlgTest, ImageFoldersAlwaysPickTheirGameUnchecked) {
    struct ImageFolder {
        int browseId;
        int editId;
        int game;
        const char* hint;
        const char* title;
    };
    const ImageFolder folders[] = {
        {SettingsDlg::kBrowseMW2, SettingsDlg::kMW2Path, 3,
         "For MW2 Images just extract all the IWI's form the IWD's and put in a folder.",
         "Please browse to the folder that contains all the MW2 images."},
        {SettingsDlg::kBrowseMW3, SettingsDlg::kMW3Path, 4,
         "For MW3 Images just extract all the IWI's form the IWD's and put in a folder.",
         "Please browse to the folder that contains all the MW3 images."},
    };
    for (const ImageFolder& images : folders) {
        for (const bool firstRun : {true, false}) {
            Open(firstRun);
            // A root picked first does not stop the image folder from picking its game.
            Browse(SettingsDlg::kBrowseCod5, MakeGameRoot(games.path() / "cod5"));
            boxes.shown.clear();
            browser.requests.clear();
            const fs::path unchecked = games.path() / "not even there";
            Browse(images.browseId, unchecked);
            ASSERT_EQ(boxes.shown.size(), 1u);
            EXPECT_EQ(boxes.shown[0].text, images.hint);
            EXPECT_EQ(boxes.shown[0].caption, "Varnel");
            EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Exclamation);
            ASSERT_EQ(browser.requests.size(), 1u);
            EXPECT_EQ(browser.requests[0].title, images.title);
            EXPECT_EQ(Selected(), images.game);
            EXPECT_TRUE(Button(SettingsDlg::kSave).isEnabled());
            EXPECT_EQ(Edit(images.editId).text().toStdString(), unchecked.string());
        }
    }
}

TEST_F(SettingsDlgTest, CancelledOrOverlongBrowsingChangesNothing) {
    Open(true);
    browser.answer.reset();
    for (const int id : {SettingsDlg::kBrowseCod4, SettingsDlg::kBrowseCod5, SettingsDlg::kBrowseBO,
                         SettingsDlg::kBrowseMW2, SettingsDlg::kBrowseMW3})
        Click(*dialog, id);
    EXPECT_EQ(Selected(), 0);
    EXPECT_FALSE(Button(SettingsDlg::kSave).isEnabled());
    EXPECT_EQ(Edit(SettingsDlg::kMW2Path).text(), kPathNotSet);

    // The settings could not keep a longer path: it is refused with a word.
    boxes.shown.clear();
    browser.answer = "/" + std::string(259, 'x');
    Click(*dialog, SettingsDlg::kBrowseMW3);
    EXPECT_EQ(Edit(SettingsDlg::kMW3Path).text(), kPathNotSet);
    EXPECT_FALSE(Button(SettingsDlg::kSave).isEnabled());
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_NE(boxes.shown[1].text.find("too long"), std::string::npos);

    browser.answer = "/" + std::string(258, 'x');
    Click(*dialog, SettingsDlg::kBrowseMW3);
    EXPECT_EQ(Edit(SettingsDlg::kMW3Path).text().size(), 259);
}

TEST_F(SettingsDlgTest, SaveStoresEveryControlAndCloses) {
    Open(true);
    Browse(SettingsDlg::kBrowseBO, MakeGameRoot(games.path() / "bo"));
    Box(SettingsDlg::kResizePlane).setChecked(false);
    Box(SettingsDlg::kEnableZoom).setChecked(false);
    Box(SettingsDlg::kMergeBumpMap).setChecked(true);
    Box(SettingsDlg::kCubeView).setChecked(true);
    Box(SettingsDlg::kVsync).setChecked(true);
    Colour(SettingsDlg::kBackgroundColor).SetColor(0x00010203);
    Colour(SettingsDlg::kTextColor).SetColor(0x00F0E0D0);
    Click(*dialog, SettingsDlg::kSave);

    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(theSettings.BOPath, (games.path() / "bo").string());
    EXPECT_EQ(theSettings.Cod4Path, kPathNotSet); // never browsed
    EXPECT_EQ(theSettings.ActiveGame, 2);
    EXPECT_EQ(theSettings.StrecImage, 0);
    EXPECT_EQ(theSettings.EnableZoom, 0);
    EXPECT_EQ(theSettings.CubeView, 1);
    EXPECT_TRUE(theSettings.MergeBUMP);
    EXPECT_TRUE(theSettings.new_3DCubeView);
    EXPECT_TRUE(theSettings.Vsync);
    EXPECT_EQ(theSettings.color_background, 0x00010203u);
    EXPECT_EQ(theSettings.color_text, 0x00F0E0D0u);

    const MemoryKeyStore::Values& stored = Stored();
    EXPECT_EQ(stored.at("BOPath"), MemoryKeyStore::Value((games.path() / "bo").string()));
    EXPECT_EQ(stored.at("Cod4Path"), MemoryKeyStore::Value(std::string(kPathNotSet)));
    EXPECT_EQ(stored.at("ActiveGame"), MemoryKeyStore::Value(std::uint32_t(2)));
    EXPECT_EQ(stored.at("CubeView"), MemoryKeyStore::Value(std::uint32_t(1)));
    EXPECT_EQ(stored.at("color_text"), MemoryKeyStore::Value(std::uint32_t(0x00F0E0D0)));
}

TEST_F(SettingsDlgTest, SaveWithNoGameSelectedStoresNone) {
    theSettings.ActiveGame = -1;
    Open(false);
    ASSERT_EQ(Selected(), -1);
    Click(*dialog, SettingsDlg::kSave);
    EXPECT_EQ(theSettings.ActiveGame, -1);
    EXPECT_EQ(Stored().at("ActiveGame"), MemoryKeyStore::Value(std::uint32_t(0xFFFFFFFF)));
    EXPECT_FALSE(theSettings.IsGameSet());
}

TEST_F(SettingsDlgTest, EscapeStoresNothing) {
    for (const bool firstRun : {true, false}) {
        theSettings.ActiveGame = 1;
        const AppSettings before = theSettings;
        Open(firstRun);
        Browse(SettingsDlg::kBrowseMW2, games.path());
        Box(SettingsDlg::kVsync).setChecked(true);
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(dialog.get(), &escape);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_TRUE(store.writes.empty());
        EXPECT_EQ(theSettings.ActiveGame, 1);
        EXPECT_EQ(theSettings.MW2Path, before.MW2Path);
        EXPECT_EQ(theSettings.Vsync, before.Vsync);
        EXPECT_FALSE(exitChosen);
    }
}

TEST_F(SettingsDlgTest, ExitClosesTheMainWindowAndStoresNothing) {
    QWidget mainWindow;
    mainWindow.show();
    theApp.mainWindow = &mainWindow;
    Open(true);
    Browse(SettingsDlg::kBrowseMW2, games.path());
    Click(*dialog, SettingsDlg::kExit);
    theApp.mainWindow = nullptr;
    EXPECT_TRUE(exitChosen);
    EXPECT_FALSE(mainWindow.isVisible());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(store.writes.empty());
    EXPECT_EQ(theSettings.ActiveGame, -1);
}

TEST_F(SettingsDlgTest, CheckForUpdatesOpensTheUpdateDialogOverThisOne) {
    theSettings.UpdateServer = "http://127.0.0.1:9"; // nothing listens: the check fails fast
    Open(false);
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto* updates = qobject_cast<UpdateDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(updates, nullptr);
        opened = true;
        EXPECT_EQ(updates->ownerDialog, dialog.get());
        updates->close();
    });
    Click(*dialog, SettingsDlg::kCheckForUpdates);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(dialog->isVisible()); // the settings stay open
}

} // namespace
} // namespace pictavo::testing
