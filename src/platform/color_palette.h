#pragma once

#include <QFrame>
#include <cstdint>
#include <vector>

namespace pictavo {

// The drop-down of a colour button: a grid of swatches with the current colour marked, and an
// "Other..." entry below it. Arrow keys move the highlight, Enter or Space chooses, Escape
// closes without a choice. It closes itself once something is chosen.
class ColorPalette : public QFrame {
    Q_OBJECT

public:
    static constexpr int kColumns = 5;

    // The swatches' colours as COLORREF values, row by row.
    static const std::vector<std::uint32_t>& Colors();

    // The swatch of `current` is marked; a colour outside the palette marks none.
    explicit ColorPalette(std::uint32_t current, QWidget* parent = nullptr);

    // Indexes into Colors(); the "Other..." entry comes right after the last swatch.
    int MarkedIndex() const { return markedIndex_; }
    int HighlightedIndex() const { return highlightedIndex_; }
    int OtherIndex() const;
    QRect SwatchRect(int index) const;
    QRect OtherRect() const;

    // Chooses the swatch as a click on it does; an index outside the grid does nothing.
    void Pick(int index);

signals:
    void picked(std::uint32_t colorref);
    void otherRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int RowCount() const;
    int Margin() const;
    // The swatch or the "Other..." entry at a point, or -1.
    int EntryAt(const QPoint& point) const;
    void Highlight(int index);
    void MoveHighlightAcross(int step);
    void MoveHighlightDown(int rows);
    void Activate(int index);

    int markedIndex_;
    int highlightedIndex_;
    int pressedIndex_ = -1;
};

// Where a drop-down of `popup` size goes for a control at `anchor` (both in screen
// coordinates): below it, or above when there is no room below, kept inside `screen`.
QPoint DropDownPosition(const QRect& anchor, const QSize& popup, const QRect& screen);

} // namespace pictavo
