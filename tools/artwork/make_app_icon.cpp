// make_app_icon <output.png>
// Writes the program's icon, 256 pixels square.
#include "picture_painter.h"

#include <QGuiApplication>
#include <cstdio>

namespace {
constexpr int kIconSize = 256;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s output.png\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    if (!pictavo::tools::PaintAppIcon(kIconSize).save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("icon written to %s\n", argv[1]);
    return 0;
}
