// Loading and converting IWI files, timed against a plain read of the same bytes and a cp of
// the same folder. Prints the two ratios after the timings.
#include "image/iwi.h"
#include "image_files.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

namespace {

using namespace pictavo::testing;

struct Fixture {
    TempDir dir;
    std::string big;                  // 2048 x 2048 DXT5 with all twelve levels
    std::filesystem::path folder;     // IWI files of assorted sizes
    std::filesystem::path copyTarget; // where cp puts its copy
    std::vector<std::string> folderFiles;

    Fixture() {
        big = dir.File("big.iwi");
        WriteBytes(big, MakeIwi({6, 13, 2048, 2048, 12}));
        folder = dir.path() / "images";
        copyTarget = dir.path() / "copy";
        std::filesystem::create_directories(folder);
        std::filesystem::create_directories(copyTarget);
        int n = 0;
        for (int repeat = 0; repeat < 8; ++repeat) {
            for (const IwiParams& params :
                 {IwiParams{6, 11, 1024, 1024, 11}, IwiParams{6, 13, 512, 512, 10},
                  IwiParams{8, 13, 256, 256, 9}, IwiParams{13, 11, 2048, 512, 12},
                  IwiParams{6, 13, 64, 64, 1}}) {
                const std::string file = (folder / ("tex" + std::to_string(n++) + ".iwi")).string();
                WriteBytes(file, MakeIwi(params));
                folderFiles.push_back(file);
            }
        }
    }
};

Fixture& Files() {
    static Fixture fixture;
    return fixture;
}

std::vector<std::uint8_t> ReadWhole(const std::string& path) {
    std::vector<std::uint8_t> bytes(std::filesystem::file_size(path));
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
        std::fclose(file);
    }
    return bytes;
}

void PlainRead(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadWhole(Files().big));
    }
}

void LoadIwi(benchmark::State& state) {
    for (auto _ : state) {
        IWI image;
        image.SetFile(Files().big);
        image.GetFileType();
        if (image.LoadFile() != IWI_OK || image.levelCount != 12) {
            state.SkipWithError("the 2048 x 2048 file did not load");
            break;
        }
        benchmark::DoNotOptimize(image.levels.data());
    }
}

void CopyFolder(benchmark::State& state) {
    const std::string command =
        "cp \"" + Files().folder.string() + "\"/*.iwi \"" + Files().copyTarget.string() + "\"";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("cp failed");
            break;
        }
    }
}

void ConvertFolder(benchmark::State& state) {
    for (auto _ : state) {
        for (const std::string& file : Files().folderFiles) {
            IWI image;
            image.SetFile(file);
            image.GetFileType();
            if (image.LoadFile() != IWI_OK || image.WriteConvertedFile() != IWI_OK) {
                state.SkipWithError("a folder file did not convert");
                return;
            }
        }
    }
}

BENCHMARK(PlainRead)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadIwi)->Unit(benchmark::kMillisecond);
BENCHMARK(CopyFolder)->Unit(benchmark::kMillisecond);
BENCHMARK(ConvertFolder)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration so that the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                seconds_[run.benchmark_name()] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatio(const char* what, const char* slow, const char* fast, double goal) const {
        const auto s = seconds_.find(slow);
        const auto f = seconds_.find(fast);
        if (s == seconds_.end() || f == seconds_.end() || f->second <= 0) {
            return;
        }
        const double ratio = s->second / f->second;
        std::printf("%-34s %5.2fx  (goal: within %.1fx) %s\n", what, ratio, goal,
                    ratio <= goal ? "met" : "NOT MET");
    }

private:
    std::map<std::string, double> seconds_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    reporter.PrintRatio("load 2048x2048 DXT5 / plain read", "LoadIwi", "PlainRead", 2.0);
    reporter.PrintRatio("convert folder / cp of the folder", "ConvertFolder", "CopyFolder", 1.5);
    benchmark::Shutdown();
    return 0;
}
