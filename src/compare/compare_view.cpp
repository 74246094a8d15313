#include "compare/compare_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kCheckerSquare = 8;
// One notch of a mouse wheel zooms by the square root of 2, as in the 2D view.
constexpr double kWheelUnitsPerDoubling = 240;

QImage ToImage(const pictavo::RgbaImage& picture) {
    if (picture.pixels.empty()) {
        return {};
    }
    bool opaque = true;
    for (std::size_t i = 3; i < picture.pixels.size() && opaque; i += 4) {
        opaque = picture.pixels[i] == 255;
    }
    // A copy: the picture's bytes do not outlive the call. Opaque pictures need no
    // checkerboard under them.
    return QImage(picture.pixels.data(), int(picture.width), int(picture.height),
                  int(picture.width) * 4,
                  opaque ? QImage::Format_RGBX8888 : QImage::Format_RGBA8888)
        .copy();
}

QBrush Checkerboard() {
    QImage tile(2 * kCheckerSquare, 2 * kCheckerSquare, QImage::Format_RGB32);
    for (int y = 0; y < tile.height(); ++y) {
        for (int x = 0; x < tile.width(); ++x) {
            const bool light = (x / kCheckerSquare + y / kCheckerSquare) % 2 == 0;
            tile.setPixel(x, y, light ? qRgb(204, 204, 204) : qRgb(153, 153, 153));
        }
    }
    return QBrush(tile);
}

} // namespace

CompareView::CompareView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setMinimumSize(64, 64);
}

void CompareView::SetPictures(const pictavo::RgbaImage& first, const pictavo::RgbaImage& second,
                              const pictavo::RgbaImage& difference, bool keepPlace) {
    first_ = ToImage(first);
    second_ = ToImage(second);
    difference_ = ToImage(difference);
    viewport_.SetLevelSize(first.width, first.height, keepPlace);
    if (!keepPlace) {
        Fit();
    }
    update();
}

void CompareView::SetNames(const QString& first, const QString& second) {
    firstName_ = first;
    secondName_ = second;
    update();
}

void CompareView::SetLayout(Layout layout) {
    layout_ = layout;
    UpdateWindow();
    update();
}

void CompareView::Fit() {
    viewport_.Fit();
    fitted_ = true;
    update();
}

void CompareView::ShowActualSize() {
    viewport_.ShowActualSize();
    fitted_ = false;
    update();
}

void CompareView::SetSwipe(double fraction) {
    swipe_ = std::clamp(fraction, 0.0, 1.0);
    update();
}

void CompareView::UpdateWindow() {
    viewport_.SetWindow(PaneWidth(), height(), devicePixelRatioF());
    if (fitted_) {
        viewport_.Fit();
    }
}

int CompareView::PaneLeft(QPointF at) const {
    return PaneCount() == 2 && at.x() >= PaneWidth() ? PaneWidth() : 0;
}

QRectF CompareView::PictureRect(int paneLeft) const {
    const DeviceRect rect = viewport_.ImageRect();
    const double ratio = devicePixelRatioF();
    return QRectF(paneLeft + rect.left / ratio, rect.top / ratio, (rect.right - rect.left) / ratio,
                  (rect.bottom - rect.top) / ratio);
}

double CompareView::SwipeX() const {
    const QRectF picture = PictureRect(0);
    return picture.left() + swipe_ * picture.width();
}

void CompareView::DrawPicture(QPainter& painter, const QImage& picture, const QRectF& at,
                              const QRectF& clip) const {
    if (picture.isNull()) {
        return;
    }
    painter.save();
    painter.setClipRect(clip);
    if (picture.hasAlphaChannel()) {
        painter.setBrushOrigin(0, 0);
        painter.fillRect(at, Checkerboard());
    }
    // Texels sharp when zoomed in, smoothed when zoomed out.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, viewport_.PixelsPerTexel() < 1);
    painter.drawImage(at, picture);
    painter.restore();
}

void CompareView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(48, 48, 48));
    const QRectF whole(rect());
    switch (layout_) {
    case Layout::kSideBySide: {
        const QRectF left(0, 0, PaneWidth(), height());
        const QRectF right(PaneWidth(), 0, width() - PaneWidth(), height());
        DrawPicture(painter, first_, PictureRect(0), left);
        DrawPicture(painter, second_, PictureRect(PaneWidth()), right);
        painter.setPen(QColor(16, 16, 16));
        painter.drawLine(QPointF(PaneWidth(), 0), QPointF(PaneWidth(), height()));
        break;
    }
    case Layout::kSwipe: {
        const double x = SwipeX();
        DrawPicture(painter, first_, PictureRect(0), QRectF(0, 0, x, height()));
        DrawPicture(painter, second_, PictureRect(0), QRectF(x, 0, width() - x, height()));
        painter.setPen(QPen(QColor(255, 200, 0), 2));
        painter.drawLine(QPointF(x, 0), QPointF(x, height()));
        break;
    }
    case Layout::kDifference:
        DrawPicture(painter, difference_, PictureRect(0), whole);
        break;
    }
    painter.setPen(Qt::white);
    const int margin = 4;
    const QString second = layout_ == Layout::kDifference ? QString() : secondName_;
    painter.drawText(QRectF(margin, margin, PaneWidth() - 2 * margin, height()),
                     Qt::AlignLeft | Qt::AlignTop,
                     layout_ == Layout::kDifference ? "Difference" : firstName_);
    painter.drawText(QRectF(margin, margin, width() - 2 * margin, height()),
                     Qt::AlignRight | Qt::AlignTop, second);
}

void CompareView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateWindow();
}

void CompareView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    draggingSwipe_ =
        layout_ == Layout::kSwipe && std::abs(event->position().x() - SwipeX()) <= kSwipeGrabPixels;
    panFrom_ = event->position();
}

void CompareView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    if (layout_ == Layout::kSwipe) {
        setCursor(std::abs(at.x() - SwipeX()) <= kSwipeGrabPixels || draggingSwipe_
                      ? Qt::SplitHCursor
                      : Qt::ArrowCursor);
    }
    if (!panFrom_ || !event->buttons().testFlag(Qt::LeftButton)) {
        return;
    }
    if (draggingSwipe_) {
        const QRectF picture = PictureRect(0);
        SetSwipe(picture.width() > 0 ? (at.x() - picture.left()) / picture.width() : 0.5);
        return;
    }
    viewport_.Pan(at.x() - panFrom_->x(), at.y() - panFrom_->y());
    fitted_ = false;
    panFrom_ = at;
    update();
}

void CompareView::mouseReleaseEvent(QMouseEvent*) {
    panFrom_.reset();
    draggingSwipe_ = false;
}

void CompareView::wheelEvent(QWheelEvent* event) {
    const QPointF at = event->position();
    viewport_.ZoomAbout(std::exp2(event->angleDelta().y() / kWheelUnitsPerDoubling),
                        {at.x() - PaneLeft(at), at.y()});
    fitted_ = false;
    update();
    event->accept();
}
