#include "platform/color_palette.h"

#include "platform/color_button.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <algorithm>
#include <utility>

namespace pictavo {

namespace {

constexpr int kSwatchSize = 18;
// Room between swatches for the marked and the highlighted rings.
constexpr int kSwatchGap = 4;
constexpr int kPadding = 4;
constexpr char kOtherText[] = "Other...";

// A ring of one pixel `outset` pixels outside `rect`.
void DrawRing(QPainter& painter, const QRect& rect, int outset, const QColor& color) {
    painter.setPen(color);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(-outset, -outset, outset - 1, outset - 1));
}

} // namespace

const std::vector<std::uint32_t>& ColorPalette::Colors() {
    static const std::vector<std::uint32_t> colors = {
        // Greys, with our default background.
        0x00000000,
        0x00404040,
        0x00808080,
        0x00A4A0A0,
        0x00C0C0C0,
        // White, the primaries (blue is our default text colour) and yellow.
        0x00FFFFFF,
        0x000000FF,
        0x0000FF00,
        0x00FF0000,
        0x0000FFFF,
        // Bright mixes.
        0x00FF00FF,
        0x00FFFF00,
        0x000080FF,
        0x00800080,
        0x00004080,
        // Dark ones.
        0x00000080,
        0x00008000,
        0x00800000,
        0x00008080,
        0x00808000,
    };
    return colors;
}

ColorPalette::ColorPalette(std::uint32_t current, QWidget* parent) : QFrame(parent, Qt::Popup) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    const auto& colors = Colors();
    const auto found = std::find(colors.begin(), colors.end(), current & 0x00FFFFFFu);
    markedIndex_ = found == colors.end() ? -1 : int(found - colors.begin());
    highlightedIndex_ = std::max(markedIndex_, 0);
    const QRect other = OtherRect();
    setFixedSize(other.right() + 1 + Margin(), other.bottom() + 1 + Margin());
}

int ColorPalette::OtherIndex() const {
    return int(Colors().size());
}

int ColorPalette::RowCount() const {
    return (OtherIndex() + kColumns - 1) / kColumns;
}

int ColorPalette::Margin() const {
    return frameWidth() + kPadding;
}

QRect ColorPalette::SwatchRect(int index) const {
    const int step = kSwatchSize + kSwatchGap;
    return {Margin() + index % kColumns * step, Margin() + index / kColumns * step, kSwatchSize,
            kSwatchSize};
}

QRect ColorPalette::OtherRect() const {
    QStyleOptionButton option;
    option.initFrom(this);
    option.text = kOtherText;
    const int height =
        style()
            ->sizeFromContents(QStyle::CT_PushButton, &option,
                               fontMetrics().size(Qt::TextShowMnemonic, option.text), this)
            .height();
    const int gridWidth = kColumns * kSwatchSize + (kColumns - 1) * kSwatchGap;
    const int top = SwatchRect(OtherIndex() - 1).bottom() + 1 + 2 * kSwatchGap;
    return {Margin(), top, gridWidth, height};
}

int ColorPalette::EntryAt(const QPoint& point) const {
    if (OtherRect().contains(point))
        return OtherIndex();
    // A point in the gap still belongs to its nearest swatch.
    const int halfGap = kSwatchGap / 2;
    for (int index = 0; index < OtherIndex(); ++index) {
        if (SwatchRect(index).adjusted(-halfGap, -halfGap, halfGap, halfGap).contains(point))
            return index;
    }
    return -1;
}

void ColorPalette::Pick(int index) {
    if (index >= 0 && index < OtherIndex())
        Activate(index);
}

void ColorPalette::Activate(int index) {
    close();
    if (index == OtherIndex())
        emit otherRequested();
    else
        emit picked(Colors()[std::size_t(index)]);
}

void ColorPalette::Highlight(int index) {
    if (index == highlightedIndex_)
        return;
    highlightedIndex_ = index;
    update();
}

void ColorPalette::MoveHighlightAcross(int step) {
    Highlight(std::clamp(highlightedIndex_ + step, 0, OtherIndex()));
}

void ColorPalette::MoveHighlightDown(int rows) {
    if (highlightedIndex_ == OtherIndex()) {
        if (rows < 0)
            Highlight((RowCount() + rows) * kColumns);
        return;
    }
    const int row = highlightedIndex_ / kColumns + rows;
    if (row < 0)
        return;
    // Below the last row of swatches lies the "Other..." entry.
    Highlight(std::min(highlightedIndex_ + rows * kColumns, OtherIndex()));
}

void ColorPalette::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QPalette& colors = palette();
    for (int index = 0; index < OtherIndex(); ++index) {
        const QRect swatch = SwatchRect(index);
        painter.fillRect(swatch, ColorFromColorRef(Colors()[std::size_t(index)]));
        DrawRing(painter, swatch, 0, colors.color(QPalette::Dark));
        if (index == markedIndex_)
            DrawRing(painter, swatch, 1, colors.color(QPalette::WindowText));
        if (index == highlightedIndex_)
            DrawRing(painter, swatch, 2, colors.color(QPalette::Highlight));
    }
    QStyleOptionButton other;
    other.initFrom(this);
    other.rect = OtherRect();
    other.text = kOtherText;
    other.state &= ~QStyle::State_HasFocus;
    if (highlightedIndex_ == OtherIndex())
        other.state |= QStyle::State_HasFocus | QStyle::State_MouseOver;
    if (pressedIndex_ == OtherIndex())
        other.state |= QStyle::State_Sunken;
    style()->drawControl(QStyle::CE_PushButton, &other, &painter, this);
}

void ColorPalette::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
        MoveHighlightAcross(-1);
        break;
    case Qt::Key_Right:
        MoveHighlightAcross(1);
        break;
    case Qt::Key_Up:
        MoveHighlightDown(-1);
        break;
    case Qt::Key_Down:
        MoveHighlightDown(1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        Activate(highlightedIndex_);
        break;
    case Qt::Key_Escape:
        close();
        break;
    default:
        QFrame::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ColorPalette::mouseMoveEvent(QMouseEvent* event) {
    const int index = EntryAt(event->position().toPoint());
    if (index >= 0)
        Highlight(index);
}

void ColorPalette::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (!rect().contains(point)) {
        // A press on our own button closes us; replayed, it would drop us down again.
        const QWidget* owner = parentWidget();
        if (owner &&
            owner->rect().contains(owner->mapFromGlobal(event->globalPosition()).toPoint()))
            setAttribute(Qt::WA_NoMouseReplay);
        QFrame::mousePressEvent(event); // a popup closes on a press outside
        return;
    }
    pressedIndex_ = EntryAt(point);
    update();
}

void ColorPalette::mouseReleaseEvent(QMouseEvent* event) {
    const int pressed = std::exchange(pressedIndex_, -1);
    update();
    if (pressed >= 0 && pressed == EntryAt(event->position().toPoint()))
        Activate(pressed);
}

QPoint DropDownPosition(const QRect& anchor, const QSize& popup, const QRect& screen) {
    const int screenBottom = screen.bottom() + 1;
    int top = anchor.bottom() + 1;
    if (top + popup.height() > screenBottom) {
        const int above = anchor.top() - popup.height();
        top = above >= screen.top() ? above : std::max(screen.top(), screenBottom - popup.height());
    }
    const int left =
        std::max(screen.left(), std::min(anchor.left(), screen.right() + 1 - popup.width()));
    return {left, top};
}

} // namespace pictavo
