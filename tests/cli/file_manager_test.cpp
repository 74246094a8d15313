#include "external_tools.h"
#include "image_files.h"
#include "picture_files.h"
#include "pictures.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using pictavo::testing::Bytes;
using pictavo::testing::Quoted;
using pictavo::testing::TempDir;

const fs::path kMenus = PICTAVO_FILE_MANAGER_DIR;
const std::string kProgramFolder = fs::path(PICTAVO_CONVERT).parent_path().string();

using Groups = std::map<std::string, std::map<std::string, std::string>>;

// A desktop file's groups and keys, read as KDE reads a service menu.
Groups ReadDesktopFile(const fs::path& path) {
    Groups groups;
    std::ifstream in(path);
    std::string group;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            group = line.substr(1, line.size() - 2);
            EXPECT_EQ(groups.count(group), 0u) << "group " << group << " twice";
            groups[group];
            continue;
        }
        const std::size_t equals = line.find('=');
        EXPECT_NE(equals, std::string::npos) << line;
        EXPECT_FALSE(group.empty()) << line;
        EXPECT_EQ(groups[group].count(line.substr(0, equals)), 0u) << line;
        groups[group][line.substr(0, equals)] = line.substr(equals + 1);
    }
    return groups;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) {
        parts.push_back(part);
    }
    return parts;
}

// What each menu item must make of the file it is used on.
struct MenuItem {
    const char* menu;   // the service menu's file
    const char* action; // its action's key
    const char* name;   // as shown, also the GNOME script's path below Pictavo/
    const char* script;
    bool fromPicture;     // used on a PNG, else on an IWI
    const char* output;   // extension of the file made beside it
    std::uint8_t version; // of an IWI made
};

constexpr const char* kPictureMenu = "pictavo-convert-picture.desktop";
constexpr const char* kTextureMenu = "pictavo-convert-texture.desktop";

const MenuItem kItems[] = {
    {kPictureMenu, "cod2", "Call of Duty 2", "Convert to IWI/Call of Duty 2", true, ".iwi", 5},
    {kPictureMenu, "cod4", "Call of Duty 4", "Convert to IWI/Call of Duty 4", true, ".iwi", 6},
    {kPictureMenu, "waw", "World at War", "Convert to IWI/World at War", true, ".iwi", 6},
    {kPictureMenu, "mw2", "Modern Warfare 2", "Convert to IWI/Modern Warfare 2", true, ".iwi", 8},
    {kPictureMenu, "bo1", "Black Ops", "Convert to IWI/Black Ops", true, ".iwi", 13},
    {kPictureMenu, "mw3", "Modern Warfare 3", "Convert to IWI/Modern Warfare 3", true, ".iwi", 8},
    {kPictureMenu, "bo2", "Black Ops II", "Convert to IWI/Black Ops II", true, ".iwi", 27},
    {kTextureMenu, "png", "Convert to PNG", "Convert to PNG", false, ".png", 0},
    {kTextureMenu, "dds", "Convert to DDS", "Convert to DDS", false, ".dds", 0},
};

// Two selected files of the item's kind, their names with spaces as files' often have.
std::vector<fs::path> SelectedFiles(const TempDir& dir, const MenuItem& item) {
    std::vector<fs::path> files = {dir.path() / "rock wall", dir.path() / "-sky"};
    for (fs::path& file : files) {
        file += item.fromPicture ? ".png" : ".iwi";
        pictavo::testing::WriteBytes(
            file, item.fromPicture
                      ? pictavo::testing::MakePng(pictavo::testing::TestPicture(16, 8, true), 4)
                      : pictavo::testing::MakeIwi({6, 11, 8, 8, 4}));
    }
    return files;
}

// Runs a command line with the built converter first on the path.
int RunWithConverter(const std::string& command) {
    return std::system(("PATH=" + Quoted(kProgramFolder) + ":\"$PATH\" " + command).c_str());
}

// Each output beside its source, of the item's kind.
void ExpectOutputs(const std::vector<fs::path>& files, const MenuItem& item) {
    for (fs::path file : files) {
        file.replace_extension(item.output);
        ASSERT_TRUE(fs::exists(file)) << file;
        const Bytes bytes = pictavo::testing::ReadBytes(file);
        ASSERT_GE(bytes.size(), 4u);
        const std::string magic(bytes.begin(), bytes.begin() + 3);
        if (std::string(item.output) == ".iwi") {
            EXPECT_EQ(magic, "IWi");
            EXPECT_EQ(bytes[3], item.version) << item.name;
        } else {
            EXPECT_EQ(magic, std::string(item.output) == ".png" ? "\x89PN" : "DDS");
        }
    }
}

TEST(FileManager, ServiceMenusHoldEveryActionAndEachConvertsTheSelectedFiles) {
    std::map<std::string, std::size_t> actionsSeen;
    for (const MenuItem& item : kItems) {
        SCOPED_TRACE(item.name);
        const Groups groups = ReadDesktopFile(kMenus / item.menu);
        ASSERT_EQ(groups.count("Desktop Entry"), 1u);
        const auto& entry = groups.at("Desktop Entry");
        EXPECT_EQ(entry.at("Type"), "Service");
        EXPECT_EQ(entry.at("X-KDE-ServiceTypes"), "KonqPopupMenu/Plugin");
        const std::vector<std::string> types = Split(entry.at("MimeType"), ';');
        const char* type = item.fromPicture ? "image/png" : "image/x-iwi";
        EXPECT_NE(std::find(types.begin(), types.end(), type), types.end());
        EXPECT_EQ(entry.count("X-KDE-Submenu") == 1 &&
                      entry.at("X-KDE-Submenu") == "Convert to IWI",
                  item.fromPicture);
        const std::vector<std::string> actions = Split(entry.at("Actions"), ';');
        EXPECT_NE(std::find(actions.begin(), actions.end(), item.action), actions.end());
        actionsSeen[item.menu] = actions.size();
        // Every action listed has its group, and every group is listed.
        EXPECT_EQ(groups.size(), actions.size() + 1);

        const auto& action = groups.at(std::string("Desktop Action ") + item.action);
        EXPECT_EQ(action.at("Name"), item.name);
        std::string exec = action.at("Exec");
        const std::size_t files = exec.find(" %F");
        ASSERT_EQ(files + 3, exec.size()) << "the selected files go last, all at once";
        ASSERT_EQ(exec.find('%'), files + 1) << "no other field code";
        const TempDir dir;
        const std::vector<fs::path> selected = SelectedFiles(dir, item);
        exec.erase(files);
        for (const fs::path& file : selected) {
            exec += " " + Quoted(file.string());
        }
        ASSERT_EQ(RunWithConverter(exec), 0) << exec;
        ExpectOutputs(selected, item);
    }
    EXPECT_EQ(actionsSeen[kPictureMenu], 7u);
    EXPECT_EQ(actionsSeen[kTextureMenu], 2u);
}

TEST(FileManager, GnomeScriptsConvertTheSelectedFiles) {
    for (const MenuItem& item : kItems) {
        SCOPED_TRACE(item.name);
        const fs::path script = kMenus / "nautilus" / "Pictavo" / item.script;
        ASSERT_TRUE(fs::exists(script));
        EXPECT_NE(fs::status(script).permissions() & fs::perms::owner_exec, fs::perms::none);
        const TempDir dir;
        const std::vector<fs::path> selected = SelectedFiles(dir, item);
        std::string command = Quoted(script.string());
        for (const fs::path& file : selected) {
            command += " " + Quoted(file.string());
        }
        ASSERT_EQ(RunWithConverter(command), 0) << command;
        ExpectOutputs(selected, item);
    }
    std::size_t scripts = 0;
    for (const auto& file : fs::recursive_directory_iterator(kMenus / "nautilus")) {
        scripts += file.is_regular_file();
    }
    EXPECT_EQ(scripts, std::size(kItems));
}

TEST(FileManager, FailuresAreShownInAMessageBox) {
    const TempDir dir;
    // Stand-ins for the desktops' message tools, each noting how it was called.
    fs::create_directory(dir.path() / "tools");
    for (const char* tool : {"kdialog", "zenity", "notify-send"}) {
        const fs::path stand = dir.path() / "tools" / tool;
        std::ofstream(stand) << "#!/bin/sh\nprintf '%s\\n' \"$(basename \"$0\")\" \"$@\" > "
                             << Quoted(dir.File("shown")) << "\n";
        fs::permissions(stand, fs::perms::owner_all);
    }
    pictavo::testing::WriteBytes(dir.File("half.png"), Bytes{0x89, 'P', 'N', 'G'});
    const fs::path script = kMenus / "nautilus" / "Pictavo" / kItems[1].script;
    EXPECT_NE(RunWithConverter("PATH=" + Quoted(dir.File("tools")) + ":\"$PATH\" " +
                               Quoted(script.string()) + " " + Quoted(dir.File("half.png"))),
              0);
    std::ifstream shown(dir.File("shown"));
    const std::string text((std::istreambuf_iterator<char>(shown)), {});
    EXPECT_EQ(text.rfind("kdialog\n", 0), 0u) << text;
    EXPECT_NE(text.find(dir.File("half.png") + ": "), std::string::npos) << text;
    EXPECT_FALSE(fs::exists(dir.File("half.iwi")));
}

} // namespace
