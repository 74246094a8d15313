#include "image_files.h"
#include "watch/folder_watch.h"

#include <deque>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace fs = std::filesystem;

namespace {

using pictavo::testing::Bytes;
using pictavo::testing::TempDir;
using pictavo::testing::WriteBytes;

// One turn of a scripted folder: what happens to its files, and which the notices name.
struct Step {
    std::map<std::string, std::size_t> write; // file and its new size; 0 deletes it
    std::vector<std::string> told;
};

// Notices that play a script, one step a wait, instead of listening to the system.
class ScriptedNotices : public ChangeNotices {
public:
    ScriptedNotices(const fs::path& folder, std::deque<Step> steps)
        : folder_(folder), steps_(std::move(steps)) {}

    void Wait(int, std::vector<fs::path>& changed) override {
        if (steps_.empty()) {
            return;
        }
        for (const auto& [name, size] : steps_.front().write) {
            if (size == 0) {
                fs::remove(folder_ / name);
            } else {
                WriteBytes(folder_ / name, Bytes(size, 7));
            }
        }
        for (const std::string& name : steps_.front().told) {
            changed.push_back(folder_ / name);
        }
        steps_.pop_front();
    }
    bool Done() const { return steps_.empty(); }

private:
    fs::path folder_;
    std::deque<Step> steps_;
};

struct Script {
    const char* what;
    std::deque<Step> steps;
    // Each batch handed over: its files and their sizes then.
    std::vector<std::map<std::string, std::uintmax_t>> batches;
};

// No quiet is waited for in real time: the script's turns alone decide, so the outcome never
// depends on the machine's speed.
TEST(FolderWatch, HandsOverEachSaveOnceItHoldsStill) {
    const std::vector<Script> scripts{
        {"a file written whole", {{{{"a.png", 100}}, {"a.png"}}}, {{{"a.png", 100}}}},
        {"a file still growing waits for its last size",
         {{{{"a.png", 50}}, {"a.png"}}, {{{"a.png", 100}}, {}}},
         {{{"a.png", 100}}}},
        {"files told together are one batch",
         {{{{"a.png", 10}, {"b.tga", 20}}, {"a.png", "b.tga"}}},
         {{{"a.png", 10}, {"b.tga", 20}}}},
        {"a notice that changed nothing brings no second batch",
         {{{{"a.png", 10}}, {"a.png"}}, {}, {}, {}, {{}, {"a.png"}}},
         {{{"a.png", 10}}}},
        {"a save after the batch is a batch of its own",
         {{{{"a.png", 10}}, {"a.png"}}, {}, {}, {}, {{{"a.png", 30}}, {"a.png"}}},
         {{{"a.png", 10}}, {{"a.png", 30}}}},
        {"a file deleted before it settled is not handed over",
         {{{{"a.png", 10}}, {"a.png"}}, {{{"a.png", 0}}, {}}},
         {}},
        {"files not wanted are never looked at", {{{{"notes.txt", 10}}, {"notes.txt"}}}, {}},
    };
    for (const Script& script : scripts) {
        const TempDir dir;
        auto owned = std::make_unique<ScriptedNotices>(dir.path(), script.steps);
        const ScriptedNotices& notices = *owned;
        FolderWatchSetup setup;
        setup.folders = {dir.path()};
        setup.timing = {0, 0};
        setup.wanted = [](const fs::path& path) { return path.extension() != ".txt"; };
        FolderWatch watch(setup, std::move(owned));
        // Some turns past the script's end, to let its last changes settle.
        int turnsAfter = 0;
        const auto stop = [&] { return notices.Done() && ++turnsAfter > 8; };
        std::vector<std::map<std::string, std::uintmax_t>> batches;
        while (!stop()) {
            std::map<std::string, std::uintmax_t> batch;
            for (const fs::path& path : watch.NextBatch(stop)) {
                batch[path.filename().string()] = fs::file_size(path);
            }
            if (!batch.empty()) {
                batches.push_back(batch);
            }
        }
        EXPECT_EQ(batches, script.batches) << script.what;
    }
}

} // namespace
