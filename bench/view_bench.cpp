// One frame of the view for a 2048 x 2048 DXT5 texture with all its levels: on the plane,
// and on the cube with the emboss pass under the colour pass. Runs on a real display
// (scripts/bench.sh uses Xvfb). CPU time is the drawing thread's work for a frame; real
// time includes waiting for the rasteriser to finish it. The frame timer ticks every 15 ms.
#include "app/settings/app_settings.h"
#include "image_files.h"
#include "view/opengl_control.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <QtGui/qopengl.h>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

using namespace pictavo::testing;

COpenGLControl* control = nullptr;

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
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
