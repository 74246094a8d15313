// The converter on whole trees and large pictures, against cp, nvcompress and libsquish. The
// ratios the goals speak of are printed after the runs.
#include "cli/convert_command.h"
#include "external_tools.h"
#include "image_files.h"
#include "pictures.h"
#include "texture/decode.h"
#include "texture/encode.h"
#include "texture/texture_reader.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <spawn.h>
#include <squish.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using pictavo::testing::Quoted;

constexpr int kTreeFiles = 2000;
constexpr std::uint32_t kLargeSide = 2048;
constexpr int kLargePictures = 2;
constexpr std::uint32_t kBestSide = 256;

// Seconds per run and PSNR by name, for the ratios at the end.
std::map<std::string, double> seconds;
std::map<std::string, double> psnr;

const pictavo::testing::TempDir& Scratch() {
    static const pictavo::testing::TempDir dir;
    return dir;
}

// 2,000 mipmapped DXT5 IWI files of 128 x 128 in 20 folders.
const fs::path& Tree() {
    static const fs::path root = [] {
        const fs::path tree = Scratch().path() / "tree";
        const pictavo::testing::Bytes iwi = pictavo::testing::MakeIwi({6, 13, 128, 128, 8});
        for (int i = 0; i < kTreeFiles; ++i) {
            const fs::path folder = tree / ("folder" + std::to_string(i % 20));
            fs::create_directories(folder);
            pictavo::testing::WriteBytes(folder / ("texture" + std::to_string(i) + ".iwi"), iwi);
        }
        return tree;
    }();
    return root;
}

const std::vector<fs::path>& LargePictures() {
    static const std::vector<fs::path> pictures = [] {
        std::vector<fs::path> paths;
        fs::create_directories(Scratch().path() / "large");
        for (int i = 0; i < kLargePictures; ++i) {
            paths.push_back(Scratch().path() / "large" / ("picture" + std::to_string(i) + ".png"));
            pictavo::testing::WritePng(
                paths.back(), pictavo::testing::TestPicture(kLargeSide, kLargeSide, true, i));
        }
        return paths;
    }();
    return pictures;
}

// Moves an earlier run's output aside, to go with the scratch folder at the end, and writes it
// out, so no run pays for another's files. Deleting thousands of files between runs would
// make ext4 search past the inodes it just freed for every file the next run creates, and the
// runs would time that search more than the programs.
void RemoveOutput(const fs::path& output) {
    static int moved = 0;
    std::error_code absent;
    fs::create_directories(Scratch().path() / "old", absent);
    fs::rename(output, Scratch().path() / "old" / std::to_string(moved++), absent);
    sync();
}

// One of the runs a benchmark compares: a name for the seconds table, where it writes, and
// what it does.
struct Contender {
    std::string name;
    fs::path output;
    std::function<void()> run;
};

// Runs the contenders in turn, once each per iteration, and keeps each one's fastest run in the
// seconds table. Taking turns, all of them meet the same state of the machine and its disk;
// the other programs and the kernel's writeback only ever slow a run down.
void TakeTurns(benchmark::State& state, const std::vector<Contender>& contenders) {
    for (auto _ : state) {
        for (const Contender& contender : contenders) {
            state.PauseTiming();
            RemoveOutput(contender.output);
            state.ResumeTiming();
            const auto start = std::chrono::steady_clock::now();
            contender.run();
            const double run =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            double& fastest = seconds[contender.name];
            fastest = fastest == 0 ? run : std::min(fastest, run);
        }
    }
}

void Convert(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    if (RunConvertCommand(arguments, out, err) != kConvertAllSucceeded) {
        std::fprintf(stderr, "%s%s", out.str().c_str(), err.str().c_str());
    }
}

// The whole tree to DDS, taking turns with cp -r copying it.
void BM_TreeToDdsAgainstCopy(benchmark::State& state) {
    const fs::path copy = Scratch().path() / "copy";
    const fs::path dds = Scratch().path() / "dds";
    const std::string command = "cp -r " + Quoted(Tree().string()) + " " + Quoted(copy.string());
    TakeTurns(state, {{"cp", copy, [&] { benchmark::DoNotOptimize(std::system(command.c_str())); }},
                      {"dds", dds, [&] {
                           Convert({"-q", "-r", "-o", dds.string(), Tree().string()});
                       }}});
}

// The whole tree to PNG with one job and with two, taking turns.
void BM_TreeToPngOneAgainstTwoJobs(benchmark::State& state) {
    std::vector<Contender> contenders;
    for (const char* jobs : {"1", "2"}) {
        const fs::path output = Scratch().path() / (std::string("png") + jobs);
        contenders.push_back({std::string("png -j ") + jobs, output, [output, jobs] {
                                  Convert({"-q", "-j", jobs, "--to", "png", "-r", "-o",
                                           output.string(), Tree().string()});
                              }});
    }
    TakeTurns(state, contenders);
}

// Level 0 of a texture file against the picture it came from.
double TexturePsnr(const fs::path& texturePath, const fs::path& picturePath) {
    pictavo::Texture texture;
    pictavo::RgbaImage decoded;
    if (pictavo::ReadTexture(texturePath.string(), texture) != pictavo::TextureError::kNone ||
        !pictavo::DecodeLevel(*pictavo::FindFormat(texture.info.format), texture.info.width,
                              texture.info.height, texture.Image(0), decoded)) {
        return 0;
    }
    return pictavo::testing::Psnr(decoded, pictavo::testing::ReadPicture(picturePath));
}

// Large pictures to DXT5 IWI with mips, taking turns with nvcompress -bc3 making DDS files.
void BM_PicturesToIwiAgainstNvcompress(benchmark::State& state) {
    const fs::path iwi = Scratch().path() / "iwi";
    const fs::path nvcompressed = Scratch().path() / "nvcompress";
    std::vector<std::string> arguments{"-q",   "-j",     "1",  "--format",
                                       "dxt5", "--mips", "-o", iwi.string()};
    for (const fs::path& picture : LargePictures()) {
        arguments.push_back(picture.string());
    }
    std::vector<Contender> contenders{{"pictavo dxt5", iwi, [&] { Convert(arguments); }}};
    const bool nvcompress = pictavo::testing::ToolInstalled("nvcompress");
    if (nvcompress) {
        contenders.push_back({"nvcompress -bc3", nvcompressed, [&] {
                                  fs::create_directories(nvcompressed);
                                  for (const fs::path& picture : LargePictures()) {
                                      const fs::path dds =
                                          nvcompressed /
                                          picture.filename().replace_extension(".dds");
                                      const std::string command =
                                          "nvcompress -silent -bc3 " + Quoted(picture.string()) +
                                          " " + Quoted(dds.string()) + " >/dev/null";
                                      benchmark::DoNotOptimize(std::system(command.c_str()));
                                  }
                              }});
    }
    TakeTurns(state, contenders);
    psnr["pictavo dxt5"] = TexturePsnr(iwi / "picture0.iwi", LargePictures()[0]);
    if (nvcompress) {
        psnr["nvcompress -bc3"] = TexturePsnr(nvcompressed / "picture0.dds", LargePictures()[0]);
    } else {
        state.SetLabel("nvcompress (libnvtt-bin) is not installed");
    }
}

// --quality best against libsquish's cluster fit, block for block on one picture.
void BM_BestAgainstClusterFit(benchmark::State& state) {
    const pictavo::RgbaImage picture = pictavo::testing::TestPicture(kBestSide, kBestSide, true);
    std::vector<std::uint8_t> ours;
    std::vector<std::uint8_t> theirs(
        squish::GetStorageRequirements(kBestSide, kBestSide, squish::kDxt5));
    for (auto _ : state) {
        pictavo::EncodeLevel(picture, pictavo::kFormatDxt5, pictavo::EncodeQuality::kBest, ours);
        squish::CompressImage(picture.pixels.data(), kBestSide, kBestSide, theirs.data(),
                              squish::kDxt5 | squish::kColourClusterFit);
    }
    const pictavo::FormatInfo& dxt5 = *pictavo::FindFormat(pictavo::kFormatDxt5);
    pictavo::RgbaImage decoded;
    pictavo::DecodeLevel(dxt5, kBestSide, kBestSide, ours, decoded);
    psnr["best"] = pictavo::testing::Psnr(decoded, picture);
    pictavo::DecodeLevel(dxt5, kBestSide, kBestSide, theirs, decoded);
    psnr["squish cluster fit"] = pictavo::testing::Psnr(decoded, picture);
}

// A large picture saved into a folder that pictavo-convert --watch watches, from the end of
// the save to its DXT5 IWI with mips in place, against converting the same picture alone. The
// watch is the program itself, as a modder runs it: a child process whose lines come through
// a pipe, one as each IWI is in place.
void BM_WatchSaveToIwiAgainstConvertingAlone(benchmark::State& state) {
    const fs::path watched = Scratch().path() / "watched";
    const fs::path alone = Scratch().path() / "alone";
    fs::create_directories(watched);
    fs::create_directories(alone);
    const pictavo::testing::Bytes picture = pictavo::testing::ReadBytes(LargePictures()[0]);
    const std::vector<std::string> options{"-y", "-j", "1", "--format", "dxt5", "--mips"};
    // One picture for the first pass: once its line comes, the watch listens.
    pictavo::testing::WriteBytes(watched / "first.png", picture);

    std::vector<std::string> line{PICTAVO_CONVERT, "--watch"};
    line.insert(line.end(), options.begin(), options.end());
    line.push_back(watched.string());
    std::vector<char*> argv;
    for (std::string& argument : line) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    int lines[2];
    if (pipe(lines) != 0) {
        state.SkipWithError("no pipe");
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, lines[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, lines[0]);
    pid_t watch = 0;
    const int spawned = posix_spawn(&watch, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(lines[1]);
    FILE* out = fdopen(lines[0], "r");
    const auto nextLine = [out] {
        char text[4096];
        return std::fgets(text, sizeof text, out) != nullptr;
    };
    if (spawned != 0 || !nextLine()) {
        state.SkipWithError("the watch did not start");
        std::fclose(out);
        return;
    }

    std::vector<std::string> aloneArguments = options;
    aloneArguments.insert(aloneArguments.begin(), "-q");
    aloneArguments.push_back((alone / "save.png").string());
    pictavo::testing::WriteBytes(alone / "save.png", picture);
    double& watchSeconds = seconds["watch: save to IWI"];
    double& aloneSeconds = seconds["the same conversion alone"];
    for (auto _ : state) {
        pictavo::testing::WriteBytes(watched / "save.png", picture);
        const auto saved = std::chrono::steady_clock::now();
        nextLine();
        const double took =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - saved).count();
        watchSeconds = watchSeconds == 0 ? took : std::min(watchSeconds, took);

        const auto start = std::chrono::steady_clock::now();
        Convert(aloneArguments);
        const double own =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        aloneSeconds = aloneSeconds == 0 ? own : std::min(aloneSeconds, own);
    }
    kill(watch, SIGTERM);
    waitpid(watch, nullptr, 0);
    std::fclose(out);
}

BENCHMARK(BM_TreeToDdsAgainstCopy)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TreeToPngOneAgainstTwoJobs)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_PicturesToIwiAgainstNvcompress)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_BestAgainstClusterFit)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WatchSaveToIwiAgainstConvertingAlone)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();

void PrintRatio(const char* what, const std::string& a, const std::string& b, const char* goal) {
    if (seconds.count(a) != 0 && seconds.count(b) != 0 && seconds[b] > 0) {
        std::printf("%-44s %6.2fx   (goal: %s)\n", what, seconds[a] / seconds[b], goal);
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\n");
    PrintRatio("IWI -> DDS of 2,000 files / cp -r", "dds", "cp", "at most 1.2x");
    PrintRatio("IWI -> PNG of 2,000 files, -j 1 / -j 2", "png -j 1", "png -j 2", "at least 1.8x");
    PrintRatio("PNG -> IWI DXT5 with mips / nvcompress -bc3", "pictavo dxt5", "nvcompress -bc3",
               "below 1x");
    if (seconds.count("watch: save to IWI") != 0) {
        std::printf("%-44s %+6.0f ms (goal: below +100 ms; %.0f ms against %.0f ms)\n",
                    "PNG -> IWI: --watch from save / alone",
                    (seconds["watch: save to IWI"] - seconds["the same conversion alone"]) * 1e3,
                    seconds["watch: save to IWI"] * 1e3,
                    seconds["the same conversion alone"] * 1e3);
    }
    for (const auto& [name, value] : psnr) {
        std::printf("PSNR against the source, %-20s %6.2f dB\n", name.c_str(), value);
    }
    if (psnr.count("best") != 0) {
        std::printf("%-44s %+6.2f dB (goal: at least -0.1 dB)\n",
                    "--quality best - libsquish cluster fit",
                    psnr["best"] - psnr["squish cluster fit"]);
    }
    return 0;
}
