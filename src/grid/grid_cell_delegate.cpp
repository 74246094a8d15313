#include "grid/grid_cell_delegate.h"

#include "grid/grid_model.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

namespace {

constexpr int kPadding = 6;
// The widest facts a cell gives, which set its width under the smallest icons.
constexpr char kWidestFacts[] = "2048 x 2048 DXT5";

QPixmap CheckerTile() {
    constexpr int kSquare = 6;
    QPixmap tile(2 * kSquare, 2 * kSquare);
    tile.fill(QColor(204, 204, 204));
    QPainter painter(&tile);
    painter.fillRect(0, 0, kSquare, kSquare, QColor(153, 153, 153));
    painter.fillRect(kSquare, kSquare, kSquare, kSquare, QColor(153, 153, 153));
    return tile;
}

} // namespace

GridCellDelegate::GridCellDelegate(QObject* parent)
    : QStyledItemDelegate(parent), checkerboard_(CheckerTile()) {}

QSize GridCellDelegate::CellSize(int side, const QFont& font) {
    const QFontMetrics metrics(font);
    return {std::max(side, metrics.horizontalAdvance(kWidestFacts)) + 2 * kPadding,
            side + 3 * kPadding + 2 * metrics.height()};
}

QSize GridCellDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return CellSize(iconSide_, option.font);
}

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const QRect cell = option.rect.adjusted(1, 1, -1, -1);
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& palette = option.palette;
    painter->save();
    if (selected)
        painter->fillRect(cell, palette.brush(QPalette::Highlight));

    const QRect icon(cell.left() + (cell.width() - iconSide_) / 2, cell.top() + kPadding - 1,
                     iconSide_, iconSide_);
    const QImage thumbnail = index.data(GridModel::kThumbnailRole).value<QImage>();
    if (!thumbnail.isNull()) {
        QRect placed(QPoint(), thumbnail.size());
        placed.moveCenter(icon.center());
        if (thumbnail.hasAlphaChannel())
            painter->fillRect(placed, checkerboard_);
        painter->drawImage(placed.topLeft(), thumbnail);
    } else {
        const QRect placeholder =
            icon.adjusted(iconSide_ / 8, iconSide_ / 8, -iconSide_ / 8, -iconSide_ / 8);
        painter->fillRect(placeholder, palette.brush(QPalette::Midlight));
        if (index.data(GridModel::kStateRole).toInt() == GridModel::kFailed) {
            painter->setPen(QPen(palette.color(QPalette::Mid), 2));
            painter->drawLine(placeholder.topLeft(), placeholder.bottomRight());
            painter->drawLine(placeholder.topRight(), placeholder.bottomLeft());
        }
    }

    const QFontMetrics& metrics = option.fontMetrics;
    const QRect text(cell.left() + kPadding / 2, icon.bottom() + kPadding, cell.width() - kPadding,
                     metrics.height());
    painter->setFont(option.font);
    painter->setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    // Short of room, the name goes without its mark, and its middle gives way: names that
    // differ differ at their ends (_c, _n, _nml).
    QString name = index.data(Qt::DisplayRole).toString();
    if (metrics.horizontalAdvance(name) > text.width())
        name = metrics.elidedText(index.data(GridModel::kShortNameRole).toString(), Qt::ElideMiddle,
                                  text.width());
    painter->drawText(text, Qt::AlignHCenter | Qt::AlignTop, name);
    if (!selected)
        painter->setPen(palette.color(QPalette::PlaceholderText));
    painter->drawText(text.translated(0, metrics.height()), Qt::AlignHCenter | Qt::AlignTop,
                      metrics.elidedText(index.data(GridModel::kFactsRole).toString(),
                                         Qt::ElideRight, text.width()));
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(palette.color(QPalette::Highlight), 1, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(cell.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}
