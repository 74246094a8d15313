#pragma once

// The program run in process as main() runs it, against a settings file of its own, with
// boxes, beeps and folder choices going to doubles; and the main dialog's controls.
#include "app/lumidesk_app.h"
#include "app/lumidesk_dlg.h"
#include "app/settings_dlg.h"
#include "app_test_support.h"
#include "gl_display.h"
#include "image_files.h"
#include "platform/settings_key_store.h"
#include "ui_script.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <memory>

namespace pictavo::testing {

namespace fs = std::filesystem;

inline CLumideskDlg* MainDialog() {
    return static_cast<CLumideskDlg*>(theApp.mainWindow);
}

// The main dialog, up and running its own loop, with no other dialog over it.
inline bool MainDialogRunning() {
    return MainDialog() != nullptr && MainDialog()->isVisible() &&
           QApplication::activeModalWidget() == MainDialog();
}

inline SettingsDlg* OpenSettingsDialog() {
    return qobject_cast<SettingsDlg*>(QApplication::activeModalWidget());
}

inline QListWidget& ImageList() {
    return *FindControl<QListWidget>(*MainDialog(), CLumideskDlg::kImageList);
}

inline QLineEdit& Filter() {
    return *FindControl<QLineEdit>(*MainDialog(), CLumideskDlg::kFilter);
}

inline std::string Label(int id) {
    return FindControl<QLabel>(*MainDialog(), id)->text().toStdString();
}

inline std::vector<std::string> ListedNames() {
    std::vector<std::string> names;
    for (int row = 0; row < ImageList().count(); ++row)
        names.push_back(ImageList().item(row)->text().toStdString());
    return names;
}

inline void Select(const std::string& name) {
    const QList<QListWidgetItem*> found =
        ImageList().findItems(QString::fromStdString(name), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name;
    ImageList().setCurrentItem(found.front());
}

// Every frame since the start: the frame rate's own count starts again each second, so a
// wait for a few more frames could outlast it.
inline std::int64_t FramesDrawn() {
    return MainDialog()->View().Counter().framesDrawn;
}

// Runs the program as main() does, against a settings file of its own and a game folder
// of real image files.
class ProgramTest : public AppDoublesTest {
protected:
    ProgramTest() : settingsFile_(QString::fromStdString(dir.File("Pictavo.conf"))) {
        useFileStore_ = std::make_unique<ScopedReplacement<KeyStore>>(settingsFile_);
        // The recent list's and the window's own settings files go to the test's folder too,
        // files even on Windows, whose native store is the user's registry.
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           QString::fromStdString(dir.File("config")));
    }
    ~ProgramTest() override {
        theApp.openPaths.clear();
        QSettings::setDefaultFormat(QSettings::NativeFormat);
    }

    void SetUp() override {
        if (!OpenGlDisplayAvailable())
            GTEST_SKIP() << "needs a display with OpenGL; run the program tests under xvfb-run";
        fs::create_directories(images);
        for (const auto& [name, params] : kImages)
            WriteBytes(images / name, MakeIwi(params));
    }

    // A settings file of this version with the MW2 image folder active.
    void SeedMW2Game(const fs::path& folder) { SeedGame("MW2Path", folder, 3); }
    void SeedGame(const char* pathName, const fs::path& folder, std::uint32_t game) {
        settingsFile_.CreateKey(kSettingsKey);
        std::unique_ptr<RegistryKey> key = settingsFile_.OpenKey(kSettingsKey);
        ASSERT_NE(key, nullptr);
        key->SetDword("Init_Settings", 1);
        key->SetText("Version", kPictavoVersion);
        key->SetText(pathName, folder.string());
        if (std::string(pathName) != "MW3Path")
            key->SetText("MW3Path", kPathNotSet);
        key->SetDword("ActiveGame", game);
    }

    void Run() {
        script.Start();
        EXPECT_FALSE(theApp.InitInstance());
        EXPECT_EQ(theApp.mainWindow, nullptr);
        EXPECT_TRUE(script.Done());
    }

    std::optional<std::string> StoredText(const std::string& name) {
        std::unique_ptr<RegistryKey> key = settingsFile_.OpenKey(kSettingsKey);
        return key ? key->QueryText(name) : std::nullopt;
    }
    QByteArray SettingsFileBytes() const {
        QFile file(QString::fromStdString(dir.File("Pictavo.conf")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    struct NamedImage {
        const char* name;
        IwiParams params;
    };
    static inline const NamedImage kImages[] = {
        {"wall_col.iwi", {6, 11, 256, 128, 1}}, {"Zebra.iwi", {6, 13, 64, 64, 7}},
        {"abc_stone.iwi", {8, 12, 32, 32, 1}},  {"abcd.iwi", {6, 11, 8, 8, 1}},
        {"crate.iwi", {13, 13, 128, 256, 1}},
    };
    static inline const std::vector<std::string> kSortedNames = {
        "abc_stone.iwi", "abcd.iwi", "crate.iwi", "wall_col.iwi", "Zebra.iwi"};

    TempDir dir;
    fs::path images = dir.path() / "mw2 images";
    UiScript script;

private:
    SettingsKeyStore settingsFile_;
    std::unique_ptr<ScopedReplacement<KeyStore>> useFileStore_;
};

} // namespace pictavo::testing
