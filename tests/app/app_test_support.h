#pragma once

#include "platform/dialog_units.h"
#include "platform/replaceable.h"
#include "platform/testing/memory_key_store.h"
#include "platform/testing/recording_beeper.h"
#include "platform/testing/recording_message_box.h"
#include "platform/testing/scripted_folder_browser.h"
#include "settings/app_settings.h"

#include <QPushButton>
#include <QWidget>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace pictavo::testing {

inline constexpr char kSettingsKey[] = "Software\\Varnel\\Pictavo";

// Puts the settings back to their defaults for a test and restores them after it; boxes,
// beeps, folder browsing and the settings store go to doubles.
class AppDoublesTest : public ::testing::Test {
protected:
    AppDoublesTest();
    ~AppDoublesTest() override;

    // The texts of every message box shown so far, in order.
    std::vector<std::string> MessageTexts() const;

    MemoryKeyStore store;
    RecordingMessageBox boxes;
    RecordingBeeper beeper;
    ScriptedFolderBrowser browser;

private:
    AppSettings saved_;
    ScopedReplacement<KeyStore> useStore_;
    ScopedReplacement<MessageBoxService> useBoxes_;
    ScopedReplacement<Beeper> useBeeper_;
    ScopedReplacement<FolderBrowser> useBrowser_;
};

// Clicks the push button with `id`; fails the test when there is none.
void Click(QWidget& dialog, int id);

// A folder that the settings accept as a game's installation root.
std::filesystem::path MakeGameRoot(const std::filesystem::path& folder);

} // namespace pictavo::testing
