#include "picture_painter.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace pictavo::tools {
namespace {

QLinearGradient CardGradient(qreal height) {
    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0.0, QColor(0x1f, 0x3b, 0x70));
    gradient.setColorAt(1.0, QColor(0x0e, 0x18, 0x30));
    return gradient;
}

void PaintCard(QPainter& painter) {
    QPainterPath card;
    card.addRoundedRect(QRectF(1, 1, kPictureWidth - 2, kPictureHeight - 2), 16, 16);
    painter.fillPath(card, CardGradient(kPictureHeight));
    painter.setPen(QPen(QColor(0x6f, 0xc8, 0xd8), 2));
    painter.drawPath(card);
}

// An isometric cube of three shaded faces with a lens ring over its front corner.
void PaintEmblem(QPainter& painter, QPointF centre, qreal radius) {
    // Strokes were drawn for a radius of 38 and grow with the emblem.
    const qreal stroke = radius / 38;
    const qreal half = radius * 0.866;
    const QPointF top(centre.x(), centre.y() - radius);
    const QPointF upperLeft(centre.x() - half, centre.y() - radius / 2);
    const QPointF upperRight(centre.x() + half, centre.y() - radius / 2);
    const QPointF lowerLeft(centre.x() - half, centre.y() + radius / 2);
    const QPointF lowerRight(centre.x() + half, centre.y() + radius / 2);
    const QPointF bottom(centre.x(), centre.y() + radius);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x9f, 0xe8, 0xf0));
    painter.drawPolygon(QPolygonF({top, upperRight, centre, upperLeft}));
    painter.setBrush(QColor(0x3a, 0x9c, 0xb8));
    painter.drawPolygon(QPolygonF({upperLeft, centre, bottom, lowerLeft}));
    painter.setBrush(QColor(0xf0, 0x8a, 0x3c));
    painter.drawPolygon(QPolygonF({centre, upperRight, lowerRight, bottom}));

    const QPointF lensCentre(centre.x() + radius * 0.35, centre.y() + radius * 0.25);
    const qreal lensRadius = radius * 0.42;
    painter.setBrush(QColor(255, 255, 255, 70));
    painter.setPen(QPen(Qt::white, 4 * stroke));
    painter.drawEllipse(lensCentre, lensRadius, lensRadius);
    painter.setPen(QPen(Qt::white, 6 * stroke, Qt::SolidLine, Qt::RoundCap));
    const QPointF handleStart = lensCentre + QPointF(lensRadius * 0.72, lensRadius * 0.72);
    painter.drawLine(handleStart, handleStart + QPointF(radius * 0.3, radius * 0.3));
}

void PaintText(QPainter& painter, const QString& version) {
    QFont name("DejaVu Sans");
    name.setPixelSize(30);
    name.setBold(true);
    painter.setFont(name);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(108, 24, 144, 44), Qt::AlignLeft | Qt::AlignVCenter, "Pictavo");

    QFont small("DejaVu Sans");
    small.setPixelSize(18);
    painter.setFont(small);
    painter.setPen(QColor(0xf0, 0x8a, 0x3c));
    painter.drawText(QRectF(110, 70, 142, 24), Qt::AlignLeft | Qt::AlignVCenter,
                     "Version " + version);

    QFont caption("DejaVu Sans");
    caption.setPixelSize(11);
    painter.setFont(caption);
    painter.setPen(QColor(0xb8, 0xc8, 0xe0));
    painter.drawText(QRectF(110, 96, 142, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     "IWI texture viewer");
}

} // namespace

QImage PaintAppIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath tile;
    const qreal margin = size / 32.0;
    tile.addRoundedRect(QRectF(margin, margin, size - 2 * margin, size - 2 * margin), size / 6.0,
                        size / 6.0);
    painter.fillPath(tile, CardGradient(size));
    // The lens handle reaches down and right; shift the cube to keep the whole emblem centred.
    PaintEmblem(painter, QPointF(size * 0.45, size * 0.45), size * 0.34);
    return image;
}

QImage PaintStartupPicture(const QString& version) {
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PaintCard(painter);
    PaintEmblem(painter, QPointF(56, 62), 38);
    PaintText(painter, version);
    return image;
}

} // namespace pictavo::tools
