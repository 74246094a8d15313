// The thumbnail grid over one archive of 20,000 textures, on a real display (scripts/bench.sh
// uses Xvfb): the time to the first screen of thumbnails with an empty disk cache and again
// on a second start with it, and the frame times while scrolling from one end to the other
// (goal: inside the view's 15 ms tick), on the clock and on the window's thread, with the
// process's peak memory and what the grid added to it. After the table, one line per scroll
// gives its worst frame against the goal.
#include "app/loader_listing.h"
#include "archive/time_zone.h"
#include "comparison.h"
#include "grid/grid_model.h"
#include "grid/grid_thumbnail_maker.h"
#include "grid/thumbnail_grid.h"
#include "image_files.h"
#include "imagelist/varnel_loader.h"
#include "platform/qt_list_box.h"
#include "zip_builder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QScrollBar>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace pictavo::testing;

constexpr int kEntries = 20000;
constexpr int kWaitMs = 600000; // a guard against a hang
constexpr double kTickMs = 15;  // the view's frame tick

// The archive: 20,000 DXT5 textures of 128 x 128 with their mipmaps, each a little different.
class Archive {
public:
    Archive() {
        const Bytes base = MakeIwi({6, 13, 128, 128, 8});
        std::vector<ZipItem> items;
        items.reserve(kEntries);
        for (int i = 0; i < kEntries; ++i) {
            Bytes texture = base;
            PutU32(texture, texture.size() - 16, static_cast<std::uint32_t>(i));
            items.emplace_back("images/texture_" + std::to_string(i) + ".iwi", std::move(texture));
        }
        WriteZip(Path(), items);
    }
    std::string Path() const { return dir_.File("iw_big.iwd"); }

private:
    TempDir dir_;
};

const Archive& TheArchive() {
    static const Archive archive;
    return archive;
}

// Milliseconds of processor time used so far by the calling thread, or by the whole process.
double CpuMs(clockid_t which) {
    timespec now{};
    clock_gettime(which, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Peak resident memory of the process, from the start or the last ResetPeakMemory.
double PeakMemoryMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024;
    }
    return 0;
}

void ResetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The archive's list, and the grid over it filling a window of 1280 x 960.
class Session {
public:
    explicit Session(const fs::path& cache) {
        loader.SetListBox(&box);
        loader.OpenList({pictavo::OpenedList::Kind::kArchive, {TheArchive().Path()}, {}, {}});
        loader.LoadList();
        list.hide();
        pictavo::ThumbnailSettings settings = ThumbnailGrid::UserSettings();
        settings.cacheFolder = cache;
        settings.maker = [this](const pictavo::ImageLocation& where, std::uint32_t size,
                                pictavo::ArchiveCache& archives,
                                pictavo::GridThumbnail& thumbnail) {
            ++decodes;
            return pictavo::MakeGridThumbnail(where, size, archives, thumbnail);
        };
        grid = new ThumbnailGrid(list, std::make_unique<LoaderListing>(loader), settings, &window);
        window.resize(1280, 960);
        grid->setGeometry(window.rect());
        window.show();
        QCoreApplication::processEvents();
    }

    bool ScreenFilled() {
        const auto [first, last] = grid->VisibleRows();
        for (int row = first; row >= 0 && row <= last; ++row) {
            if (grid->Model().index(row).data(GridModel::kStateRole).toInt() == GridModel::kWaiting)
                return false;
        }
        return first >= 0;
    }
    // Milliseconds from switching the grid on to every cell on screen showing its thumbnail.
    double FirstScreenMs() {
        QElapsedTimer clock;
        clock.start();
        grid->SetOn(true);
        while (!ScreenFilled() && clock.elapsed() < kWaitMs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        QCoreApplication::processEvents(); // the last cells painted
        return static_cast<double>(clock.nsecsElapsed()) / 1e6;
    }

    QWidget window;
    QListWidget list{&window};
    QtListBox box{list};
    VarnelLoader loader;
    ThumbnailGrid* grid = nullptr;
    std::atomic<int> decodes{0};
};

// Fills a cache folder with the thumbnails of every entry, without a window.
void FillCache(const fs::path& cache) {
    Session session(cache);
    std::vector<pictavo::ThumbnailRequest> requests;
    for (const pictavo::ListedImage& image : session.loader.listed)
        requests.push_back({image.text, image.where, 128, {}, 1});
    session.grid->Model().Service().Want(std::move(requests));
    session.grid->Model().Service().WaitIdle();
}

void BM_FirstScreenEmptyCache(benchmark::State& state) {
    double cpu = 0;
    int screen = 0;
    for (auto _ : state) {
        const TempDir cache;
        Session session(cache.path());
        const double before = CpuMs(CLOCK_PROCESS_CPUTIME_ID);
        state.SetIterationTime(session.FirstScreenMs() / 1000);
        cpu += CpuMs(CLOCK_PROCESS_CPUTIME_ID) - before;
        const auto [first, last] = session.grid->VisibleRows();
        screen = last - first + 1;
    }
    state.counters["cells_on_screen"] = screen;
    state.counters["entries"] = kEntries;
    state.counters["all_threads_cpu_ms"] =
        benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FirstScreenEmptyCache)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_FirstScreenSecondStart(benchmark::State& state) {
    const TempDir cache;
    FillCache(cache.path());
    int decodes = 0;
    double cpu = 0;
    for (auto _ : state) {
        Session session(cache.path());
        const double before = CpuMs(CLOCK_PROCESS_CPUTIME_ID);
        state.SetIterationTime(session.FirstScreenMs() / 1000);
        cpu += CpuMs(CLOCK_PROCESS_CPUTIME_ID) - before;
        decodes += session.decodes;
    }
    state.counters["decodes"] = decodes;
    state.counters["all_threads_cpu_ms"] =
        benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FirstScreenSecondStart)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Counts the grid's paints.
class PaintCounter final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
    int paints = 0;
};

// From the top to the bottom, `step` pixels a frame: each frame scrolls, then handles what
// is pending as the program's event loop would, painting what changed and taking in what the
// threads made. Each frame's time on the clock and on the window's thread, whose share of a
// busy machine varies, is measured.
void BM_ScrollEndToEnd(benchmark::State& state) {
    const int step = static_cast<int>(state.range(0));
    const bool cached = state.range(1) != 0;
    for (auto _ : state) {
        const TempDir cache;
        if (cached)
            FillCache(cache.path());
        Session session(cache.path());
        ResetPeakMemory();
        const double baseline = PeakMemoryMiB();
        session.FirstScreenMs();
        session.decodes = 0;
        PaintCounter counter;
        session.grid->viewport()->installEventFilter(&counter);
        QScrollBar& bar = *session.grid->verticalScrollBar();
        double sum = 0;
        double worst = 0;
        double cpuSum = 0;
        double cpuWorst = 0;
        int frames = 0;
        QElapsedTimer clock;
        for (int at = step; at - step < bar.maximum(); at += step) {
            clock.start();
            const double cpu = CpuMs(CLOCK_THREAD_CPUTIME_ID);
            bar.setValue(at);
            QCoreApplication::processEvents();
            const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
            const double cpuMs = CpuMs(CLOCK_THREAD_CPUTIME_ID) - cpu;
            sum += ms;
            worst = std::max(worst, ms);
            cpuSum += cpuMs;
            cpuWorst = std::max(cpuWorst, cpuMs);
            ++frames;
        }
        state.SetIterationTime(sum / 1000);
        const auto goal = [](double ms) { return ms <= kTickMs ? "met" : "NOT MET"; };
        char line[256];
        std::snprintf(line, sizeof line,
                      "scrolling %d px a frame, %s: worst frame %.1f ms on the clock (%s), "
                      "%.1f ms on the window's thread (%s); mean %.1f ms; goal: inside the "
                      "%.0f ms tick",
                      step, cached ? "cached" : "no cache", worst, goal(worst), cpuWorst,
                      goal(cpuWorst), sum / frames, kTickMs);
        char key[32]; // the lines in the table's order
        std::snprintf(key, sizeof key, "%d %05d", cached, step);
        pictavo::bench::Summary()[key] = line;
        state.counters["frames"] = frames;
        state.counters["paints"] = counter.paints;
        state.counters["mean_ms"] = sum / frames;
        state.counters["worst_ms"] = worst;
        state.counters["cpu_mean_ms"] = cpuSum / frames;
        state.counters["cpu_worst_ms"] = cpuWorst;
        state.counters["decodes"] = session.decodes.load();
        state.counters["peak_MiB"] = PeakMemoryMiB();
        state.counters["grid_MiB"] = PeakMemoryMiB() - baseline;
    }
}
BENCHMARK(BM_ScrollEndToEnd)
    ->ArgNames({"px_per_frame", "cached"})
    ->Args({60, 0})
    ->Args({480, 0})
    ->Args({60, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    pictavo::KeepTimeZoneLoaded(); // as the program's main does
    QApplication application(argc, argv);
    TheArchive();
    malloc_trim(0); // the archive's 400 MiB, built in memory, go back before any measure
    return pictavo::bench::RunAndSummarise(argc, argv);
}
