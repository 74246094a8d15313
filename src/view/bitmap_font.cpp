#include "view/bitmap_font.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QtGui/qopengl.h>

namespace {

constexpr int kOverlayPixelSize = 13;

int RowStride(int width) {
    return (width + 7) / 8;
}

} // namespace

bool GlyphBitmap::IsSet(int x, int rowFromBottom) const {
    const std::size_t at = std::size_t(rowFromBottom) * RowStride(width) + std::size_t(x / 8);
    return (rows[at] >> (7 - x % 8) & 1) != 0;
}

QFont OverlayFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(kOverlayPixelSize);
    font.setBold(true);
    font.setStyleStrategy(QFont::NoAntialias); // bitmaps have one bit per pixel
    return font;
}

GlyphBitmap RasterizeGlyph(const QFont& font, unsigned char code) {
    GlyphBitmap glyph;
    const QChar character = QChar::fromLatin1(char(code));
    if (!character.isPrint()) {
        return glyph;
    }
    const QFontMetrics metrics(font);
    glyph.advance = float(metrics.horizontalAdvance(character));
    // One spare pixel on every side: the tight bounds can miss an edge pixel.
    const QRect bounds = metrics.boundingRect(character).adjusted(-1, -1, 1, 1);
    if (character.isSpace() || bounds.isEmpty()) {
        // glBitmap without a bitmap is ignored, raster move and all: give it a clear pixel.
        glyph.width = 1;
        glyph.height = 1;
        glyph.rows = {0};
        return glyph;
    }
    QImage image(bounds.size(), QImage::Format_Grayscale8);
    image.fill(0);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QPointF(-bounds.x(), -bounds.y()), QString(character));
    }
    glyph.width = bounds.width();
    glyph.height = bounds.height();
    glyph.xOrigin = float(-bounds.x());
    glyph.yOrigin = float(bounds.y() + bounds.height());
    const int stride = RowStride(glyph.width);
    glyph.rows.assign(std::size_t(stride) * glyph.height, 0);
    for (int row = 0; row < glyph.height; ++row) {
        const uchar* line = image.constScanLine(glyph.height - 1 - row);
        for (int x = 0; x < glyph.width; ++x) {
            if (line[x] > 127) {
                glyph.rows[std::size_t(row) * stride + x / 8] |= std::uint8_t(0x80 >> (x % 8));
            }
        }
    }
    return glyph;
}

void BuildFontLists(const QFont& font, unsigned int base, int count) {
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int c = 0; c < count; ++c) {
        const GlyphBitmap glyph = RasterizeGlyph(font, static_cast<unsigned char>(c));
        glNewList(base + unsigned(c), GL_COMPILE);
        glBitmap(glyph.width, glyph.height, glyph.xOrigin, glyph.yOrigin, glyph.advance, 0,
                 glyph.rows.empty() ? nullptr : glyph.rows.data());
        glEndList();
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}
