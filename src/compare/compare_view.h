#pragma once

#include "texture/decode.h"
#include "viewport/flat_viewport.h"

#include <QImage>
#include <QWidget>
#include <optional>

// Two pictures of one size compared: side by side with one zoom and pan for both, as a swipe
// (the first left of a line that the mouse drags, the second right of it), or as their
// difference. The wheel zooms about the pointer, a left drag pans.
class CompareView : public QWidget {
public:
    enum class Layout { kSideBySide, kSwipe, kDifference };
    static constexpr int kSwipeGrabPixels = 6;

    explicit CompareView(QWidget* parent = nullptr);

    // Keeps the zoom and pan when `keepPlace` (another level, the same size on screen).
    void SetPictures(const pictavo::RgbaImage& first, const pictavo::RgbaImage& second,
                     const pictavo::RgbaImage& difference, bool keepPlace);
    void SetNames(const QString& first, const QString& second);
    void SetLayout(Layout layout);
    Layout CurrentLayout() const { return layout_; }
    void Fit();
    void ShowActualSize();
    // Where the swipe's line crosses the pictures, 0 (left edge) to 1 (right edge).
    void SetSwipe(double fraction);
    double Swipe() const { return swipe_; }
    // Where the pictures lie in a pane, device pixels from the pane's top-left corner.
    const FlatViewport& Viewport() const { return viewport_; }
    // The pane, of one or two, under a point of the widget; its left edge.
    int PaneLeft(QPointF at) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    int PaneCount() const { return layout_ == Layout::kSideBySide ? 2 : 1; }
    int PaneWidth() const { return width() / PaneCount(); }
    void UpdateWindow();
    QRectF PictureRect(int paneLeft) const; // logical pixels
    double SwipeX() const;
    void DrawPicture(QPainter& painter, const QImage& picture, const QRectF& at,
                     const QRectF& clip) const;

    Layout layout_ = Layout::kSideBySide;
    QImage first_;
    QImage second_;
    QImage difference_;
    QString firstName_;
    QString secondName_;
    FlatViewport viewport_;
    bool fitted_ = true;
    double swipe_ = 0.5;
    std::optional<QPointF> panFrom_;
    bool draggingSwipe_ = false;
};
