// pictavo-convert --watch run as a child process, as a modder runs it beside an editor.
#include "archive/zip_archive.h"
#include "cli/convert_command.h"
#include "convert/file_walk.h"
#include "image_files.h"
#include "picture_files.h"
#include "pictures.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;

namespace {

using pictavo::testing::Bytes;
using pictavo::testing::MakePng;
using pictavo::testing::ReadBytes;
using pictavo::testing::TempDir;
using pictavo::testing::TestPicture;
using pictavo::testing::WriteBytes;

// Which folder's files the walk takes, and how a watch finds them again.
TEST(WatchSources, AChangedFileIsTheSourceTheWalkWouldHaveTaken) {
    const TempDir dir;
    const fs::path root = dir.path();
    fs::create_directories(root / "paint/deep");
    fs::create_directories(root / "paint/out");
    for (const char* name : {"paint/a.png", "paint/deep/b.TGA", "paint/out/c.png",
                             "paint/notes.txt", "single.bmp", "other.png"}) {
        WriteBytes(root / name, {1});
    }
    const std::string paint = (root / "paint").string() + "/"; // a trailing separator
    const std::string single = (root / "single.bmp").string();
    struct Case {
        const char* changed;
        bool recursive;
        const char* relative; // none: left out
    };
    const std::vector<Case> cases{
        {"paint/a.png", false, "a.png"},
        {"paint/deep/b.TGA", false, nullptr}, // below, without -r
        {"paint/deep/b.TGA", true, "deep/b.TGA"},
        {"paint/out/c.png", true, nullptr}, // in the output folder
        {"paint/notes.txt", true, nullptr}, // not a picture or texture
        {"single.bmp", false, "single.bmp"},
        {"other.png", true, nullptr}, // beside a file given, not given itself
    };
    const fs::path output = root / "paint/out";
    for (const Case& c : cases) {
        const std::optional<SourceFile> source =
            SourceFor(root / c.changed, {paint, single}, c.recursive, output);
        ASSERT_EQ(source.has_value(), c.relative != nullptr) << c.changed;
        if (source) {
            EXPECT_EQ(source->relative, fs::path(c.relative)) << c.changed;
            EXPECT_EQ(fs::absolute(source->path).lexically_normal(), root / c.changed);
        }
    }
    EXPECT_EQ(FoldersOf({paint, single, paint}), (std::vector<fs::path>{root / "paint", root}));
}

#ifndef _WIN32

std::string TextOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The converter running as a program of its own, its output and errors in files.
class WatchingConverter {
public:
    WatchingConverter(const std::vector<std::string>& arguments, const fs::path& logs)
        : out_(logs / "out.txt"), err_(logs / "err.txt") {
        std::vector<std::string> line{PICTAVO_CONVERT};
        line.insert(line.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& argument : line) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        if (posix_spawn(&child_, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            child_ = 0;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~WatchingConverter() {
        if (child_ > 0) {
            kill(child_, SIGKILL);
            waitpid(child_, nullptr, 0);
        }
    }

    bool Started() const { return child_ > 0; }
    std::string Out() const { return TextOf(out_); }
    std::string Err() const { return TextOf(err_); }

    // Waits, for as long as a busy machine may need, until `holds` is true of the output.
    bool WaitFor(const std::function<bool(const std::string& out)>& holds) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::minutes(2);
        while (std::chrono::steady_clock::now() < limit) {
            if (holds(Out())) {
                return true;
            }
            int status = 0;
            if (child_ > 0 && waitpid(child_, &status, WNOHANG) == child_) {
                child_ = 0; // ended early: nothing more will come
                return holds(Out());
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    // Asks it to stop as a service manager would; its exit status, or -1.
    int Terminate() {
        if (child_ <= 0) {
            return -1;
        }
        kill(child_, SIGTERM);
        int status = 0;
        waitpid(child_, &status, 0);
        child_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    fs::path out_;
    fs::path err_;
    pid_t child_ = 0;
};

struct WatchMode {
    const char* name;
    std::vector<std::string> options;
    bool json;
};

// How many of the output's records say `name` was converted, or failed.
std::size_t Count(const std::string& out, const std::string& name, bool converted, bool json) {
    std::size_t count = 0;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        if (json) {
            count += line.find("/" + name + "\",") != std::string::npos &&
                     line.find(converted ? "\"status\":\"converted\"" : "\"status\":\"failed\"") !=
                         std::string::npos;
        } else if (const std::size_t at = line.find("/" + name + ": "); at != std::string::npos) {
            const bool wrote = line.compare(at + name.size() + 3, 6, "wrote ") == 0;
            count += converted ? wrote : !wrote && line.find(": skipped,") == std::string::npos;
        }
    }
    return count;
}

// What the converter writes for these bytes, in a run of its own.
Bytes ConvertedAlone(const Bytes& picture, const fs::path& folder) {
    fs::create_directories(folder);
    WriteBytes(folder / "alone.png", picture);
    std::ostringstream out;
    std::ostringstream err;
    RunConvertCommand({"-y", (folder / "alone.png").string()}, out, err);
    return ReadBytes(folder / "alone.iwi");
}

class WatchRun : public ::testing::TestWithParam<WatchMode> {};

// A save caught half written never gives an IWI, a damaged save is reported and the next good
// one converted, each save converts once, and SIGTERM ends the watch with its summary.
TEST_P(WatchRun, ConvertsEachSaveOnceWholeUntilTerminated) {
    const WatchMode& mode = GetParam();
    const TempDir dir;
    const fs::path paint = dir.path() / "paint";
    fs::create_directories(paint);
    WriteBytes(paint / "first.png", MakePng(TestPicture(32, 32, false, 2), 3));

    std::vector<std::string> arguments = mode.options;
    arguments.insert(arguments.end(), {"--watch", "-y", paint.string()});
    WatchingConverter converter(arguments, dir.path());
    ASSERT_TRUE(converter.Started());
    ASSERT_TRUE(converter.WaitFor([&](const std::string& out) {
        return Count(out, "first.png", true, mode.json) == 1 &&
               converter.Err().find("watching 1 folder") != std::string::npos;
    })) << converter.Out()
        << converter.Err();

    // Saved in two pieces, as a slow editor or a copy over the network writes.
    const Bytes whole = MakePng(TestPicture(256, 256, true, 7), 4);
    {
        std::ofstream file(paint / "pieces.png", std::ios::binary);
        file.write(reinterpret_cast<const char*>(whole.data()),
                   static_cast<std::streamsize>(whole.size() / 2));
        file.flush();
        // Time for the watch to hear of the half; whatever it makes of it, no IWI may come
        // of the half.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        file.write(reinterpret_cast<const char*>(whole.data() + whole.size() / 2),
                   static_cast<std::streamsize>(whole.size() - whole.size() / 2));
    }
    ASSERT_TRUE(converter.WaitFor([&](const std::string& out) {
        return Count(out, "pieces.png", true, mode.json) == 1;
    })) << converter.Out();
    EXPECT_EQ(ReadBytes(paint / "pieces.iwi"), ConvertedAlone(whole, dir.path() / "alone1"));

    // A damaged save (a byte of its pixel data changed), then a good one put in place by a
    // rename, as editors save.
    const Bytes good = MakePng(TestPicture(64, 64, false, 3), 3);
    Bytes damaged = good;
    damaged[damaged.size() / 2] ^= 0x5A;
    WriteBytes(paint / "damaged.png", damaged);
    ASSERT_TRUE(converter.WaitFor([&](const std::string& out) {
        return Count(out, "damaged.png", false, mode.json) >= 1;
    })) << converter.Out();
    EXPECT_FALSE(fs::exists(paint / "damaged.iwi"));
    WriteBytes(paint / "damaged.png.saving", good);
    fs::rename(paint / "damaged.png.saving", paint / "damaged.png");
    ASSERT_TRUE(converter.WaitFor([&](const std::string& out) {
        return Count(out, "damaged.png", true, mode.json) == 1;
    })) << converter.Out();
    EXPECT_EQ(ReadBytes(paint / "damaged.iwi"), ConvertedAlone(good, dir.path() / "alone2"));

    EXPECT_EQ(converter.Terminate(), kConvertSomeFailed); // the damaged save failed
    const std::string out = converter.Out();
    EXPECT_EQ(Count(out, "pieces.png", true, mode.json), 1u) << out;
    EXPECT_EQ(Count(out, "first.png", true, mode.json), 1u) << out;
    const std::string summary = out.substr(out.rfind('\n', out.size() - 2) + 1);
    const std::regex expected =
        mode.json ? std::regex(R"(\{"summary":\{"converted":3,"skipped":0,"failed":[1-9].*)"
                               R"("stopped":true\}\}\n)")
                  : std::regex(R"(3 converted, 0 skipped, [1-9]\d* failed, .* s; stopped, )"
                               R"(0 not started\n)");
    EXPECT_TRUE(std::regex_match(summary, expected)) << summary;
    for (const fs::directory_entry& entry : fs::directory_iterator(paint)) {
        EXPECT_NE(entry.path().extension(), ".tmp") << "left behind: " << entry.path();
    }
    // Only the sources' own IWI files: none made of an output.
    EXPECT_FALSE(fs::exists(paint / "first.dds"));
    EXPECT_FALSE(fs::exists(paint / "pieces.dds"));
}

// An entry of the archive, or nothing when it cannot be read.
Bytes EntryOf(const fs::path& archivePath, const std::string& name) {
    pictavo::ZipArchive archive;
    std::vector<std::uint8_t> bytes;
    if (!archive.Open(archivePath.string())) {
        return {};
    }
    const pictavo::ArchiveEntry* entry = archive.Find(name);
    return entry && archive.Read(*entry, bytes) ? bytes : Bytes{};
}

// Watching into a mod's archive: each save becomes its entry, the others kept.
TEST(WatchIntoArchive, EachSaveIsWrittenIntoTheArchive) {
    const TempDir dir;
    const fs::path paint = dir.path() / "paint";
    const fs::path mod = dir.path() / "mod.iwd";
    fs::create_directories(paint);
    const Bytes first = MakePng(TestPicture(32, 32, false, 2), 3);
    WriteBytes(paint / "first.png", first);
    WatchingConverter converter({"--watch", "-o", mod.string(), paint.string()}, dir.path());
    ASSERT_TRUE(converter.Started());
    const Bytes firstIwi = ConvertedAlone(first, dir.path() / "alone1");
    ASSERT_TRUE(converter.WaitFor([&](const std::string&) {
        return converter.Err().find("watching 1 folder") != std::string::npos &&
               EntryOf(mod, "images/first.iwi") == firstIwi;
    })) << converter.Out()
        << converter.Err();

    // Saved again changed: the entry its own watch wrote is replaced without -y.
    const Bytes second = MakePng(TestPicture(64, 32, true, 5), 4);
    WriteBytes(paint / "first.png.saving", second);
    fs::rename(paint / "first.png.saving", paint / "first.png");
    const Bytes expected = ConvertedAlone(second, dir.path() / "alone2");
    ASSERT_TRUE(converter.WaitFor([&](const std::string&) {
        return EntryOf(mod, "images/first.iwi") == expected;
    })) << converter.Out()
        << converter.Err();
    EXPECT_EQ(converter.Terminate(), kConvertAllSucceeded) << converter.Err();
}

INSTANTIATE_TEST_SUITE_P(Modes, WatchRun,
                         ::testing::Values(WatchMode{"Notices", {}, false},
                                           WatchMode{"NoticesJson", {"--json"}, true},
                                           WatchMode{"Looking", {"--poll"}, false}),
                         [](const ::testing::TestParamInfo<WatchMode>& info) {
                             return info.param.name;
                         });

#endif

} // namespace
