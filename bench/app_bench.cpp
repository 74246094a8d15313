// Time from launching the program to its first frame on screen, with a game's list loaded.
// Each iteration starts a fresh process (this program, run as the child) that runs the
// program's start-up as main() does and reports when the view's first frame has been put on
// screen. Runs on a real display (scripts/bench.sh uses Xvfb). Goal: under one second. Its
// counters split the time: to main(), the QApplication, the window, the first frame drawn and
// swapped.
// Also the list of a stock game root whose images lie in 40 archives, against unzip -l.
#include "app/lumidesk_app.h"
#include "app/lumidesk_dlg.h"
#include "archive/time_zone.h"
#include "external_tools.h"
#include "image_files.h"
#include "imagelist/varnel_loader.h"
#include "platform/qt_list_box.h"
#include "platform/settings_key_store.h"
#include "settings/app_settings.h"
#include "zip_builder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QProcess>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using namespace pictavo::testing;

constexpr char kChildFlag[] = "--launch-child";
constexpr char kFirstFrame[] = "first frame";
constexpr char kPhases[] = "phases";
constexpr int kChildTimeoutMs = 30000;

// The child: the program's start-up with its settings in `settingsFile`. Before its frame it
// reports when, after entering main, each stage of the start-up ended.
int RunChild(int argc, char** argv, const char* settingsFile) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    QApplication application(argc, argv);
    const qint64 applicationMade = sinceMain.nsecsElapsed();
    qint64 loopRunning = -1;
    qint64 drawn = -1;
    SettingsKeyStore store{QString::fromLocal8Bit(settingsFile)};
    KeyStore::Replace(&store);
    QTimer watch;
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (loopRunning < 0)
            loopRunning = sinceMain.nsecsElapsed();
        auto* dialog = static_cast<CLumideskDlg*>(theApp.mainWindow);
        if (dialog == nullptr || dialog->View().Counter().frames < 1)
            return;
        watch.stop();
        drawn = sinceMain.nsecsElapsed();
        // The frame drawn, report when it reaches the screen.
        QObject::connect(&dialog->View(), &QOpenGLWidget::frameSwapped, [&] {
            std::printf("%s %lld %lld %lld %lld\n", kPhases, applicationMade / 1000,
                        loopRunning / 1000, drawn / 1000, sinceMain.nsecsElapsed() / 1000);
            std::printf("%s\n", kFirstFrame);
            std::fflush(stdout);
            std::_Exit(0);
        });
    });
    watch.start();
    theApp.InitInstance();
    return 1; // the program ended before a frame was shown
}

// Settings of this version with an MW2 folder of 200 images active.
struct LaunchSetup {
    TempDir dir;
    std::string settingsFile = dir.File("Pictavo.conf");

    LaunchSetup() {
        const std::filesystem::path images = dir.path() / "images";
        std::filesystem::create_directories(images);
        const Bytes texture = MakeIwi({6, 13, 512, 512, 10});
        for (int i = 0; i < 200; ++i)
            WriteBytes(images / ("texture_" + std::to_string(i) + ".iwi"), texture);
        SettingsKeyStore store{QString::fromStdString(settingsFile)};
        store.CreateKey("Software\\Varnel\\Pictavo");
        std::unique_ptr<RegistryKey> key = store.OpenKey("Software\\Varnel\\Pictavo");
        key->SetDword("Init_Settings", 1);
        key->SetText("Version", kPictavoVersion);
        key->SetText("MW2Path", images.string());
        key->SetText("MW3Path", kPathNotSet);
        key->SetDword("ActiveGame", 3);
    }
};

void BM_LaunchToFirstFrame(benchmark::State& state) {
    LaunchSetup setup;
    const QString self = QCoreApplication::applicationFilePath();
    // Qt wants a private runtime folder; give the children one where the session has none.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    TempDir runtime;
    if (!environment.contains("XDG_RUNTIME_DIR")) {
        std::filesystem::permissions(runtime.path(), std::filesystem::perms::owner_all);
        environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.path().string()));
    }
    double phases[5] = {};
    for (auto _ : state) {
        QProcess child;
        child.setProcessEnvironment(environment);
#ifdef _WIN32
        // The program is a window program: it starts with no console, and so does the child.
        child.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* arguments) {
            arguments->flags = (arguments->flags & ~CREATE_NO_WINDOW) | DETACHED_PROCESS;
        });
#endif
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer clock;
        clock.start();
        child.start(self, {kChildFlag, QString::fromStdString(setup.settingsFile)});
        QByteArray said;
        while (!said.contains(kFirstFrame) && child.waitForReadyRead(kChildTimeoutMs))
            said += child.readAll();
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        child.waitForFinished(kChildTimeoutMs);
        long long made = 0, looping = 0, drawn = 0, swapped = 0;
        const int at = said.indexOf(kPhases);
        if (!said.contains(kFirstFrame) || at < 0 ||
            std::sscanf(said.constData() + at + sizeof kPhases, "%lld %lld %lld %lld", &made,
                        &looping, &drawn, &swapped) != 4) {
            state.SkipWithError("the program showed no frame");
            break;
        }
        state.SetIterationTime(seconds);
        phases[0] += seconds * 1000 - swapped / 1000.0;
        phases[1] += made / 1000.0;
        phases[2] += (looping - made) / 1000.0;
        phases[3] += (drawn - looping) / 1000.0;
        phases[4] += (swapped - drawn) / 1000.0;
    }
    // Where the time went, each a mean in ms: to main(), the QApplication, the window made
    // and shown (to the event loop's first turn), the first frame drawn, then swapped.
    const char* names[] = {"to_main", "qapp", "window", "draw", "swap"};
    for (int phase = 0; phase < 5; ++phase)
        state.counters[names[phase]] =
            benchmark::Counter(phases[phase], benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_LaunchToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// A stock Call of Duty 4 root: no raw/images, 40 archives in main/ of 500 images each.
struct ArchivedGame {
    static constexpr int kArchives = 40;
    static constexpr int kImagesPerArchive = 500;
    TempDir root;

    ArchivedGame() {
        const std::filesystem::path main = root.path() / "main";
        std::filesystem::create_directories(main);
        const Bytes texture = MakeIwi({6, 11, 64, 64, 7});
        for (int archive = 0; archive < kArchives; ++archive) {
            std::vector<ZipItem> items{{"readme.txt", Bytes(100, 'r')}};
            for (int image = 0; image < kImagesPerArchive; ++image)
                items.emplace_back("images/tex_" + std::to_string(archive) + "_" +
                                       std::to_string(image) + ".iwi",
                                   texture);
            WriteZip(main / ("iw_" + std::to_string(10 + archive) + ".iwd"), items);
        }
    }
};

double SecondsOf(const std::function<void()>& action) {
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// From reading the archives to the 20,000 names standing sorted in the list box, as the
// program lists the game, taking turns with one unzip -l listing all the archives.
void BM_GameArchivesIntoTheList(benchmark::State& state) {
    const ArchivedGame game;
    pictavo::KeepTimeZoneLoaded(); // as the program's main does
    theSettings.Cod4Path = game.root.path().string();
    QListWidget widget;
    QtListBox box(widget);
    VarnelLoader loader;
    loader.SetListBox(&box);
    loader.SetGame(0);
    const std::string unzip =
        "unzip -l " + Quoted((game.root.path() / "main" / "*.iwd").string()) + " >/dev/null";
    double listed = 0;
    double unzipped = 0;
    for (auto _ : state) {
        const double list = SecondsOf([&] {
            loader.InvalidateList();
            loader.LoadList();
        });
        const double all = SecondsOf([&] { benchmark::DoNotOptimize(std::system(unzip.c_str())); });
        listed = listed == 0 ? list : std::min(listed, list);
        unzipped = unzipped == 0 ? all : std::min(unzipped, all);
    }
    state.counters["images"] = widget.count();
    state.counters["list_ms"] = listed * 1000;
    state.counters["unzip_ms"] = unzipped * 1000;
    state.counters["vs_unzip"] = listed / unzipped;
}
BENCHMARK(BM_GameArchivesIntoTheList)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == kChildFlag)
        return RunChild(1, argv, argv[2]);
    QApplication application(argc, argv); // the list is a widget
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
