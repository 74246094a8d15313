// Listing the images of a game root of 40 archives holding 20,000 images, against unzip -l
// of the same archives; reading entries one after another with archives kept open, against
// opening the archive for each; putting one repainted texture into a mod's archive of 500,
// against zip. The ratios come as counters of the last runs.
#include "archive/archive_update.h"
#include "archive/game_archives.h"
#include "archive/image_location.h"
#include "archive/time_zone.h"
#include "archive/zip_archive.h"
#include "image_files.h"
#include "zip_builder.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;
using pictavo::testing::Bytes;

constexpr int kArchives = 40;
constexpr int kImagesPerArchive = 500;

std::map<std::string, double> seconds; // per run, by name

const pictavo::testing::TempDir& Scratch() {
    static const pictavo::testing::TempDir dir;
    return dir;
}

std::string EntryName(int archive, int image) {
    return "images/tex_" + std::to_string(archive) + "_" + std::to_string(image) + ".iwi";
}

// main/ of 40 archives: 500 small mipmapped DXT1 IWI each, and a few entries of other kinds.
const std::vector<std::string>& Archives() {
    static const std::vector<std::string> paths = [] {
        const fs::path main = Scratch().path() / "main";
        fs::create_directories(main);
        const Bytes iwi = pictavo::testing::MakeIwi({6, 11, 64, 64, 7});
        for (int a = 0; a < kArchives; ++a) {
            std::vector<pictavo::testing::ZipItem> items = {
                {"materials/mat_" + std::to_string(a), Bytes(300, 7)},
                {"sound/s_" + std::to_string(a) + ".wav", Bytes(2000, 9)},
                {"readme.txt", Bytes(100, 'r')}};
            for (int i = 0; i < kImagesPerArchive; ++i) {
                items.emplace_back(EntryName(a, i), iwi);
            }
            pictavo::testing::WriteZip(main / ("iw_" + std::to_string(100 + a) + ".iwd"), items);
        }
        return pictavo::GameArchivePaths(Scratch().path().string());
    }();
    return paths;
}

// Runs a program found on the path with its output thrown away; its wait status.
int RunQuietly(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = -1;
    if (spawned == 0) {
        waitpid(child, &status, 0);
    }
    return status;
}

// Runs `action` once per iteration and keeps its mean seconds under `name`.
template <typename Action>
void Time(benchmark::State& state, const std::string& name, Action action) {
    Archives(); // made once, before any timing
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        action();
    }
    seconds[name] =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
        static_cast<double>(state.iterations());
}

// One unzip process per archive, as a user would list them one by one.
void BM_UnzipListEach(benchmark::State& state) {
    Time(state, "unzip each", [] {
        for (const std::string& archive : Archives()) {
            benchmark::DoNotOptimize(RunQuietly({"unzip", "-l", archive}));
        }
    });
}

// One unzip process for all of them through its own wildcard: unzip -l 'main/*.iwd'.
void BM_UnzipListWildcard(benchmark::State& state) {
    const std::string pattern = (Scratch().path() / "main" / "*.iwd").string();
    Time(state, "unzip wildcard", [&] {
        benchmark::DoNotOptimize(RunQuietly({"unzip", "-l", pattern}));
    });
}

// Without TZ, and with the zone kept loaded as the program does at start-up.
void BM_ListGameArchives(benchmark::State& state) {
    if (state.range(0) != 0) {
        pictavo::KeepTimeZoneLoaded();
    } else {
        unsetenv("TZ");
    }
    const std::string name = "list" + std::to_string(state.range(0));
    std::size_t images = 0;
    Time(state, name,
         [&] { images = pictavo::ListGameArchives(Scratch().path().string()).images.size(); });
    state.counters["images"] = static_cast<double>(images);
    if (seconds.contains("unzip each") && seconds.contains("unzip wildcard")) {
        state.counters["vs_unzip_each"] = seconds[name] / seconds["unzip each"];
        state.counters["vs_unzip_wildcard"] = seconds[name] / seconds["unzip wildcard"];
    }
}

// Every image of one archive, opening the archive for each as if nothing were kept open.
void BM_ReadEntriesReopening(benchmark::State& state) {
    const std::string& path = Archives().front();
    Time(state, "reopening", [&] {
        for (int i = 0; i < kImagesPerArchive; ++i) {
            pictavo::ZipArchive archive;
            Bytes bytes;
            if (archive.Open(path)) {
                benchmark::DoNotOptimize(archive.Read(*archive.Find(EntryName(0, i)), bytes));
            }
        }
    });
}

// The same through ReadImageBytes, which keeps the archive open between reads.
void BM_ReadEntriesKeptOpen(benchmark::State& state) {
    const std::string& path = Archives().front();
    Time(state, "kept open", [&] {
        for (int i = 0; i < kImagesPerArchive; ++i) {
            Bytes bytes;
            benchmark::DoNotOptimize(
                pictavo::ReadImageBytes({"", "", path, EntryName(0, i)}, bytes));
        }
    });
    if (seconds.contains("reopening")) {
        state.counters["vs_reopening"] = seconds["kept open"] / seconds["reopening"];
    }
}

constexpr int kModImages = 500;

// A mod: images/ of 500 mipmapped 256 x 256 DXT5 textures, loose and as mod.iwd, and one of
// them repainted.
const fs::path& Mod() {
    static const fs::path folder = [] {
        const fs::path mod = Scratch().path() / "mod";
        fs::create_directories(mod / "images");
        std::vector<pictavo::testing::ZipItem> items;
        for (int i = 0; i < kModImages; ++i) {
            Bytes iwi = pictavo::testing::MakeIwi({6, 13, 256, 256, 9});
            iwi.back() = static_cast<std::uint8_t>(i); // no two alike
            const std::string name = "images/tex_" + std::to_string(i) + ".iwi";
            pictavo::testing::WriteBytes(mod / name, iwi);
            items.emplace_back(name, std::move(iwi));
        }
        pictavo::testing::WriteZip(mod / "mod.iwd", items);
        Bytes repainted = pictavo::testing::MakeIwi({6, 13, 256, 256, 9});
        repainted.back() = 0xee;
        pictavo::testing::WriteBytes(mod / "repainted.iwi", repainted);
        return mod;
    }();
    return folder;
}

// The modder's way without Pictavo: the mod folder zipped into the archive anew.
void BM_ZipWholeMod(benchmark::State& state) {
    Mod();
    const fs::path archive = Scratch().path() / "rezipped.iwd";
    const fs::path previous = fs::current_path();
    fs::current_path(Mod());
    Time(state, "zip whole", [&] {
        fs::remove(archive);
        benchmark::DoNotOptimize(RunQuietly({"zip", "-q", "-r", archive.string(), "images"}));
    });
    fs::current_path(previous);
}

// zip's own update of the one entry, which copies the others: the fairest rival.
void BM_ZipUpdateOne(benchmark::State& state) {
    const fs::path work = Scratch().path() / "zip-update";
    fs::create_directories(work / "images");
    fs::copy_file(Mod() / "mod.iwd", work / "mod.iwd", fs::copy_options::overwrite_existing);
    fs::copy_file(Mod() / "repainted.iwi", work / "images" / "tex_250.iwi",
                  fs::copy_options::overwrite_existing);
    const fs::path previous = fs::current_path();
    fs::current_path(work);
    Time(state, "zip update", [&] {
        benchmark::DoNotOptimize(RunQuietly({"zip", "-q", "mod.iwd", "images/tex_250.iwi"}));
    });
    fs::current_path(previous);
}

// The converter's way: one entry put, the 499 others copied as they are stored.
void BM_ArchiveUpdateOne(benchmark::State& state) {
    const fs::path archive = Scratch().path() / "updated.iwd";
    fs::copy_file(Mod() / "mod.iwd", archive, fs::copy_options::overwrite_existing);
    const std::string repainted = (Mod() / "repainted.iwi").string();
    Time(state, "update one", [&] {
        pictavo::ArchiveUpdate update;
        const bool done = update.Open(archive.string()) &&
                          update.PutFile("images/tex_250.iwi", repainted) && update.Commit();
        if (!done) {
            state.SkipWithError("the update failed");
        }
    });
    const std::pair<const char*, const char*> rivals[] = {{"zip whole", "vs_zip_whole"},
                                                          {"zip update", "vs_zip_update"}};
    for (const auto& [rival, counter] : rivals) {
        if (seconds.contains(rival)) {
            state.counters[counter] = seconds["update one"] / seconds[rival];
        }
    }
}

} // namespace

BENCHMARK(BM_ZipWholeMod)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ZipUpdateOne)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ArchiveUpdateOne)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UnzipListEach)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UnzipListWildcard)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ListGameArchives)
    ->ArgName("zone_kept")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ReadEntriesReopening)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadEntriesKeptOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
