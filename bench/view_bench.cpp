// One frame of the view for a 2048 x 2048 DXT5 texture with all its levels: on the plane,
// and on the cube with the emboss pass under the colour pass. Runs on a real display
// (scripts/bench.sh uses Xvfb). CPU time is the drawing thread's work for a frame; real
// time includes waiting for the rasteriser to finish it. The frame timer ticks every 15 ms.
//
// The 2D mode: frames of a 4096 x 4096 DXT5 texture while the wheel zooms and the mouse
// pans (goal: well under the 15 ms tick, worst frame shown too), a channel switch on it, and
// the time from selecting a 2048 x 2048 DXT5 in the list of a real folder to its first
// frame, on the plane and in 2D (goal: under 100 ms).
//
// The material mode: frames of a 2048 x 2048 colour, normal and specular set on the plane,
// the cube and the sphere (goal: inside the 15 ms tick).
#include "image_files.h"
#include "platform/qt_list_box.h"
#include "settings/app_settings.h"
#include "texture/texture_reader.h"
#include "view/opengl_control.h"

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>
#include <QtGui/qopengl.h>
#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <filesystem>

namespace {

using namespace pictavo::testing;

COpenGLControl* control = nullptr;
QListWidget* list = nullptr;
// A 2048 x 2048 DXT5 the material mode takes as normal and specular map.
std::shared_ptr<pictavo::Texture> partner;

constexpr char kSelectedA[] = "select_a_2048.iwi";
constexpr char kSelectedB[] = "select_b_2048.iwi";
constexpr char kLarge[] = "large_4096.iwi";

bool Upload(const std::string& file, TextureSlot slot) {
    VarnelLoader& image = control->Loader();
    image.Unload();
    image.targetSlot = slot;
    control->makeCurrent();
    return image.SetFile(file) == IWI_OK && image.GetFileType() == IWI_TYPE_IWI &&
           image.LoadFile() == IWI_OK && image.LoadToOpenGL() == IWI_OK;
}

void DrawFrames(benchmark::State& state) {
    for (auto _ : state) {
        control->OnTimer(COpenGLControl::kFrameTimerId);
        glFinish();
    }
}

void BM_FramePlane(benchmark::State& state) {
    theSettings.new_3DCubeView = false;
    theSettings.MergeBUMP = false;
    DrawFrames(state);
}
BENCHMARK(BM_FramePlane)->Unit(benchmark::kMillisecond);

void BM_FrameCubeEmbossed(benchmark::State& state) {
    theSettings.new_3DCubeView = true;
    theSettings.MergeBUMP = true;
    theSettings.normalMapLoaded = true;
    theSettings.embossOn = false; // both passes
    DrawFrames(state);
}
BENCHMARK(BM_FrameCubeEmbossed)->Unit(benchmark::kMillisecond);

void Select(const char* name) {
    list->setCurrentItem(list->findItems(name, Qt::MatchExactly).front());
    control->LoadSelected(); // as the dialog does on a selection change
    control->ApplyAspectScale();
}

void Frame() {
    control->OnTimer(COpenGLControl::kFrameTimerId);
    glFinish();
}

void SelectToFirstFrame(benchmark::State& state, COpenGLControl::ViewMode mode) {
    control->SetViewMode(mode);
    bool second = false;
    for (auto _ : state) {
        Select(second ? kSelectedB : kSelectedA);
        Frame();
        second = !second;
    }
    control->SetViewMode(COpenGLControl::ViewMode::kPlane);
}

void BM_SelectToFirstFramePlane(benchmark::State& state) {
    theSettings.MergeBUMP = false;
    SelectToFirstFrame(state, COpenGLControl::ViewMode::kPlane);
}
BENCHMARK(BM_SelectToFirstFramePlane)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SelectToFirstFrame2D(benchmark::State& state) {
    theSettings.MergeBUMP = false;
    SelectToFirstFrame(state, COpenGLControl::ViewMode::kFlat);
}
BENCHMARK(BM_SelectToFirstFrame2D)->Unit(benchmark::kMillisecond)->UseRealTime();

void Send(QEvent& event) {
    QCoreApplication::sendEvent(control, &event);
}

void Wheel(QPointF at, int angle) {
    QWheelEvent wheel(at, control->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    Send(wheel);
}

void MoveMouse(QPointF to, Qt::MouseButtons buttons) {
    QMouseEvent move(QEvent::MouseMove, to, control->mapToGlobal(to), Qt::NoButton, buttons,
                     Qt::NoModifier);
    Send(move);
}

// Each iteration one wheel notch or one drag step, then one frame. A cycle zooms in eight
// notches from fit (past 1:1), drags right and back, and zooms out again.
void BM_WheelZoomAndPan4096(benchmark::State& state) {
    Select(kLarge);
    control->SetViewMode(COpenGLControl::ViewMode::kFlat);
    control->FitToWindow();
    Frame(); // the level's decode and upload, once
    const QPointF at(200, 180);
    MoveMouse(at, Qt::NoButton);
    constexpr int kNotches = 8;
    constexpr std::array<double, 4> kDrag{15, 30, 15, 0};
    constexpr int kCycle = 2 * kNotches + int(kDrag.size());
    int step = 0;
    double worst = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int phase = step++ % kCycle;
        if (phase < kNotches) {
            Wheel(at, 120);
        } else if (phase < kNotches + int(kDrag.size())) {
            MoveMouse(at + QPointF(kDrag[std::size_t(phase - kNotches)], 0), Qt::LeftButton);
        } else {
            Wheel(at, -120);
        }
        Frame();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        worst = std::max(worst, took.count());
    }
    state.counters["worst_ms"] = worst;
    control->SetViewMode(COpenGLControl::ViewMode::kPlane);
}
BENCHMARK(BM_WheelZoomAndPan4096)->Unit(benchmark::kMillisecond)->UseRealTime();

// A channel button on a 4096 x 4096 level, then one frame: the texture's swizzle picks the
// channels, with no decode or upload (goal: inside the 15 ms tick).
void BM_ChannelSwitch4096(benchmark::State& state) {
    Select(kLarge);
    control->SetViewMode(COpenGLControl::ViewMode::kFlat);
    control->FitToWindow();
    Frame();
    bool red = false;
    for (auto _ : state) {
        control->SetChannels(red ? Channels{true, false, false, false} : kAllChannels);
        Frame();
        red = !red;
    }
    control->SetChannels(kAllChannels);
    control->SetViewMode(COpenGLControl::ViewMode::kPlane);
}
BENCHMARK(BM_ChannelSwitch4096)->Unit(benchmark::kMillisecond)->UseRealTime();

// Each iteration one frame lit in the shader; the maps' decode and upload come once, before.
void BM_FrameMaterial2048(benchmark::State& state) {
    theSettings.MergeBUMP = false;
    Select(kSelectedA);
    control->SetMaterialMaps(partner, partner);
    control->SetViewMode(COpenGLControl::ViewMode::kMaterial);
    control->Material().shape = MaterialShape(state.range(0));
    Frame();
    DrawFrames(state);
    control->SetMaterialMaps(nullptr, nullptr);
    control->SetViewMode(COpenGLControl::ViewMode::kPlane);
}
BENCHMARK(BM_FrameMaterial2048)
    ->ArgName("shape")
    ->Arg(int(MaterialShape::kPlane))
    ->Arg(int(MaterialShape::kCube))
    ->Arg(int(MaterialShape::kSphere))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    QWidget window;
    window.resize(453, 450); // the main dialog's picture area
    control = new COpenGLControl;
    control->Create(QRect(0, 0, 453, 450), &window);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window) || !control->isValid()) {
        std::fprintf(stderr, "the view needs a display with OpenGL; run under xvfb-run\n");
        return 1;
    }
    TempDir dir;
    const std::string file = dir.File("big.iwi");
    WriteBytes(file, MakeIwi({6, 13, 2048, 2048, 12}));
    if (!Upload(file, TEXTURE_SLOT_NORMAL) || !Upload(file, TEXTURE_SLOT_COLOR)) {
        std::fprintf(stderr, "cannot upload the 2048 x 2048 texture\n");
        return 1;
    }

    // A game folder of real files, listed and selected as the dialog lists and selects.
    const std::filesystem::path images = dir.path() / "images";
    std::filesystem::create_directories(images);
    WriteBytes(images / kSelectedA, MakeIwi({6, 13, 2048, 2048, 12}));
    WriteBytes(images / kSelectedB, MakeIwi({6, 13, 2048, 2048, 12}));
    WriteBytes(images / kLarge, MakeIwi({6, 13, 4096, 4096, 13}));
    QListWidget listWidget;
    list = &listWidget;
    QtListBox listBox(listWidget);
    theSettings.MW2Path = images.string();
    control->Loader().SetListBox(&listBox);
    control->Loader().SetGame(static_cast<std::uint32_t>(GameId::MW2));
    control->Loader().LoadList();
    partner = std::make_shared<pictavo::Texture>();
    if (pictavo::ReadTexture((images / kSelectedB).string(), *partner) !=
        pictavo::TextureError::kNone) {
        std::fprintf(stderr, "cannot read the material's partner\n");
        return 1;
    }
    if (listWidget.count() != 3) {
        std::fprintf(stderr, "the folder's list holds %d entries, not 3\n", listWidget.count());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
