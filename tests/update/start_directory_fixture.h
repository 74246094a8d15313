#pragma once

#include "image_files.h"
#include "settings/app_settings.h"

#include <gtest/gtest.h>
#include <string>

// Each test gets an empty start directory of its own and the built-in update server.
class StartDirectoryTest : public testing::Test {
protected:
    void SetUp() override {
        savedStartDirectory_ = theSettings.StartDirectory;
        savedUpdateServer_ = theSettings.UpdateServer;
        theSettings.StartDirectory = folder_.path().string();
        theSettings.UpdateServer.clear();
    }
    void TearDown() override {
        theSettings.StartDirectory = savedStartDirectory_;
        theSettings.UpdateServer = savedUpdateServer_;
    }

    std::string InFolder(const std::string& name) const { return folder_.File(name); }

    pictavo::testing::TempDir folder_;

private:
    std::string savedStartDirectory_;
    std::string savedUpdateServer_;
};

std::string ReadText(const std::string& path);
void WriteText(const std::string& path, const std::string& text);
