#pragma once

#include <QBrush>
#include <QStyledItemDelegate>

// A cell of the grid: the thumbnail (over a checkerboard where it lets one through), or a
// placeholder until it is made, and under it the image's name and its size and format.
class GridCellDelegate final : public QStyledItemDelegate {
public:
    explicit GridCellDelegate(QObject* parent = nullptr);

    void SetIconSide(int side) { iconSide_ = side; }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The whole cell for an icon of `side`, with room for two lines of text in `font`.
    static QSize CellSize(int side, const QFont& font);

private:
    int iconSide_ = 128;
    QBrush checkerboard_;
};
