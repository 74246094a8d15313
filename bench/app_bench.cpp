// Time from launching the program to its first frame on screen, with a game's list loaded.
// Each iteration starts a fresh process (this program, run as the child) that runs the
// program's start-up as main() does and reports when the view's first frame has been put on
// screen. Runs on a real display (scripts/bench.sh uses Xvfb). Goal: under one second.
#include "app/lumidesk_app.h"
#include "app/lumidesk_dlg.h"
#include "app/settings/app_settings.h"
#include "image_files.h"
#include "platform/settings_key_store.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

using namespace pictavo::testing;

constexpr char kChildFlag[] = "--launch-child";
constexpr char kFirstFrame[] = "first frame";
constexpr int kChildTimeoutMs = 30000;

// The child: the program's start-up with its settings in `settingsFile`.
int RunChild(int argc, char** argv, const char* settingsFile) {
    QApplication application(argc, argv);
    SettingsKeyStore store{QString::fromLocal8Bit(settingsFile)};
    KeyStore::Replace(&store);
    QTimer watch;
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&watch] {
        auto* dialog = static_cast<CLumideskDlg*>(theApp.mainWindow);
        if (dialog == nullptr || dialog->View().Counter().frames < 1)
            return;
        watch.stop();
        // The frame drawn, report when it reaches the screen.
        QObject::connect(&dialog->View(), &QOpenGLWidget::frameSwapped, [] {
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
    for (auto _ : state) {
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer clock;
        clock.start();
        child.start(self, {kChildFlag, QString::fromStdString(setup.settingsFile)});
        bool shown = false;
        while (!shown && child.waitForReadyRead(kChildTimeoutMs))
            shown = child.readAll().contains(kFirstFrame);
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        child.waitForFinished(kChildTimeoutMs);
        if (!shown) {
            state.SkipWithError("the program showed no frame");
            break;
        }
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_LaunchToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == kChildFlag)
        return RunChild(1, argv, argv[2]);
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
