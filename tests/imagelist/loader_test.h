#pragma once

#include "gl_recorder.h"
#include "image_files.h"
#include "imagelist/varnel_loader.h"
#include "platform/replaceable.h"
#include "platform/testing/recording_beeper.h"
#include "platform/testing/recording_list_box.h"
#include "platform/testing/recording_message_box.h"
#include "platform/testing/scripted_folder_browser.h"
#include "settings/app_settings.h"
#include "texture/utf8_path.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace pictavo::testing {

inline std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

// An image list on a recording list box and OpenGL table, with boxes, beeps and folder
// choices going to doubles, and default settings.
class LoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        theSettings = AppSettings{};
        loader.SetListBox(&listBox);
    }
    void TearDown() override { theSettings = AppSettings{}; }

    std::filesystem::path RawImages() const { return dir.path() / "raw" / "images"; }

    // Puts files into a Call of Duty 4 style root and selects that game.
    void UseRawLayout(const std::vector<std::pair<std::string, Bytes>>& files) {
        std::filesystem::create_directories(RawImages());
        for (const auto& [name, bytes] : files) {
            WriteBytes(RawImages() / pictavo::PathOf(name), bytes);
        }
        theSettings.Cod4Path = dir.path().string();
        loader.SetGame(0);
        loader.LoadList();
    }

    // The texts of the load sequence's boxes, checking their caption and owner.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const MessageBoxRequest& box : messages.shown) {
            EXPECT_EQ(box.caption, "Varnel IWI Load Wrapper");
            EXPECT_EQ(box.owner, nullptr);
            texts.push_back(box.text);
        }
        return texts;
    }

    void Select(const std::string& name) {
        listBox.selected = name;
        loader.LoadSelected();
    }

    TempDir dir;
    RecordingMessageBox messages;
    RecordingBeeper beeper;
    ScriptedFolderBrowser browser;
    ScopedReplacement<MessageBoxService> messageScope{messages};
    ScopedReplacement<Beeper> beeperScope{beeper};
    ScopedReplacement<FolderBrowser> browserScope{browser};
    RecordingListBox listBox;
    GlRecorder gl;
    VarnelLoader loader;
};

} // namespace pictavo::testing
