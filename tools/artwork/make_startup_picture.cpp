// make_startup_picture <output.dxt5> [preview.png]
// Writes the 256 x 128 start-up picture as 32768 bytes of DXT5 blocks, bottom row first as
// OpenGL expects texture rows, and optionally a PNG of what was drawn.
#include "settings/app_settings.h"
#include "dxt5_encoder.h"
#include "picture_painter.h"

#include <QGuiApplication>
#include <QSaveFile>
#include <cstdio>

namespace {

std::vector<pictavo::tools::Rgba> BottomRowFirst(const QImage& image) {
    const QImage rows = image.mirrored(false, true).convertToFormat(QImage::Format_RGBA8888);
    std::vector<pictavo::tools::Rgba> pixels;
    pixels.reserve(std::size_t(rows.width()) * rows.height());
    for (int y = 0; y < rows.height(); ++y) {
        const uchar* line = rows.constScanLine(y);
        for (int x = 0; x < rows.width(); ++x) {
            pixels.push_back({line[4 * x], line[4 * x + 1], line[4 * x + 2], line[4 * x + 3]});
        }
    }
    return pixels;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s output.dxt5 [preview.png]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen"); // fonts only, no window
    }
    QGuiApplication app(argc, argv);

    const QImage picture = pictavo::tools::PaintStartupPicture(kPictavoVersion);
    const std::vector<std::uint8_t> blocks =
        pictavo::tools::EncodeDxt5(BottomRowFirst(picture), picture.width(), picture.height());

    QSaveFile output(QString::fromLocal8Bit(argv[1]));
    if (!output.open(QIODevice::WriteOnly) ||
        output.write(reinterpret_cast<const char*>(blocks.data()), qint64(blocks.size())) !=
            qint64(blocks.size()) ||
        !output.commit()) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    if (argc == 3 && !picture.save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("%zu bytes of DXT5 written to %s\n", blocks.size(), argv[1]);
    return 0;
}
