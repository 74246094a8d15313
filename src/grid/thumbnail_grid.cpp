#include "grid/thumbnail_grid.h"

#include "grid/grid_cell_delegate.h"
#include "grid/grid_model.h"

#include <QAction>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <algorithm>

namespace {

constexpr std::uint64_t kDiskCacheBytes = std::uint64_t{512} << 20;
// Scrolling ends once the view has stood still this long.
constexpr int kScrollEndMs = 250;

// The first row in [0, count) for which `after` holds, given that it holds for every row
// after one for which it holds.
template <typename Predicate> int FirstRow(int count, Predicate after) {
    int low = 0;
    int high = count;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (after(middle))
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

} // namespace

pictavo::ThumbnailSettings ThumbnailGrid::UserSettings() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (base.isEmpty())
        base = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    pictavo::ThumbnailSettings settings;
    settings.cacheFolder =
        std::filesystem::path(base.toStdU16String()) / "Varnel" / "Pictavo" / "thumbnails";
    settings.cacheLimit = kDiskCacheBytes;
    return settings;
}

ThumbnailGrid::ThumbnailGrid(QListWidget& list, std::unique_ptr<GridListing> listing,
                             pictavo::ThumbnailSettings settings, QWidget* parent)
    : QListView(parent), list_(list), listing_(std::move(listing)),
      model_(std::make_unique<GridModel>(*list.model(), *listing_, std::move(settings))),
      delegate_(new GridCellDelegate(this)) {
    setObjectName("thumbnailGrid");
    hide();
    // Cells in reading order, wrapped at the width, all of one size: laid out without asking
    // each row.
    setViewMode(QListView::ListMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setUniformItemSizes(true);
    setLayoutMode(QListView::SinglePass);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(delegate_);
    setModel(model_.get());
    SetIconSide(kFirstSide);

    wantTimer_.setSingleShot(true);
    wantTimer_.setInterval(0);
    connect(&wantTimer_, &QTimer::timeout, this, &ThumbnailGrid::WantVisible);
    scrollEnd_.setSingleShot(true);
    scrollEnd_.setInterval(kScrollEndMs);
    connect(&scrollEnd_, &QTimer::timeout, this, [this] { model_->Service().LeaveOneCore(false); });
    connect(model_.get(), &GridModel::RowsFollowed, this, [this] {
        FollowListSelection();
        ScheduleWant();
    });
    connect(&list_, &QListWidget::itemSelectionChanged, this, [this] {
        if (on_)
            FollowListSelection();
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this] { SetOn(false); });
}

ThumbnailGrid::~ThumbnailGrid() {
    // The model, a member, goes before the view's own end: the view lets go of it first.
    setModel(nullptr);
}

void ThumbnailGrid::AddActions(QMenu& menu) {
    menu.addSeparator();
    toggle_ = menu.addAction("&Grid");
    toggle_->setObjectName("viewGrid");
    toggle_->setCheckable(true);
    toggle_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    connect(toggle_, &QAction::toggled, this, &ThumbnailGrid::SetOn);
    QAction* clear = menu.addAction("Clear &Thumbnail Cache");
    clear->setObjectName("viewClearThumbnails");
    connect(clear, &QAction::triggered, this, &ThumbnailGrid::ClearCache);
}

void ThumbnailGrid::TakePlaceOf(QWidget& view) {
    view_ = &view;
}

void ThumbnailGrid::SetOn(bool on) {
    if (on == on_)
        return;
    on_ = on;
    if (toggle_ != nullptr) {
        const QSignalBlocker blocker(toggle_);
        toggle_->setChecked(on);
    }
    if (!on) {
        model_->SetFollowing(false);
        hide();
        if (view_)
            view_->show();
        list_.setFocus();
        return;
    }
    model_->SetFollowing(true);
    show();
    raise();
    if (view_)
        view_->hide();
    setFocus();
}

void ThumbnailGrid::SetIconSide(int side) {
    side = std::clamp(side, kSmallestSide, kLargestSide);
    delegate_->SetIconSide(side);
    model_->SetIconSide(side);
    setGridSize(GridCellDelegate::CellSize(side, font()));
    if (currentIndex().isValid())
        scrollTo(currentIndex());
    ScheduleWant();
}

int ThumbnailGrid::IconSide() const {
    return model_->IconSide();
}

void ThumbnailGrid::ClearCache() {
    model_->ClearThumbnails();
    ScheduleWant();
}

int ThumbnailGrid::Columns() const {
    const int count = model_->rowCount();
    const Layout layout{count, viewport()->width(), gridSize()};
    if (layout != columnsFor_) {
        // Where the first line ends: asked once per layout, each cell's place costs.
        const int top = visualRect(model_->index(0)).top();
        columns_ = std::max(1, FirstRow(count, [&](int row) {
                                return visualRect(model_->index(row)).top() > top;
                            }));
        columnsFor_ = layout;
    }
    return columns_;
}

std::pair<int, int> ThumbnailGrid::VisibleRows() const {
    const int count = model_->rowCount();
    const int lineHeight = gridSize().height();
    if (count == 0 || lineHeight <= 0)
        return {-1, -1};
    // Cells lie in lines of a fixed height from the first cell's top down.
    const QRect area = viewport()->rect();
    const int top = visualRect(model_->index(0)).top();
    const int columns = Columns();
    const int lastLine = (count - 1) / columns;
    if (area.bottom() < top || area.top() > top + (lastLine + 1) * lineHeight - 1)
        return {-1, -1};
    const int first = std::max(0, (area.top() - top) / lineHeight);
    const int last = std::min(lastLine, (area.bottom() - top) / lineHeight);
    return {first * columns, std::min(count - 1, (last + 1) * columns - 1)};
}

void ThumbnailGrid::ScheduleWant() {
    wantTimer_.start();
}

void ThumbnailGrid::WantVisible() {
    if (!on_) {
        model_->Want(-1, -1, -1, -1);
        return;
    }
    const auto [first, last] = VisibleRows();
    // A screenful below, as scrolling goes on down, and half of one above.
    const int screen = last - first + 1;
    model_->Want(first, last, first - screen / 2, last + screen);
}

void ThumbnailGrid::FollowListSelection() {
    const int row = list_.currentRow();
    if (row < 0 || row >= model_->rowCount())
        return;
    // The list's current entry need not be chosen: before a first choice, nothing shows.
    const QItemSelectionModel::SelectionFlags command = list_.item(row)->isSelected()
                                                            ? QItemSelectionModel::ClearAndSelect
                                                            : QItemSelectionModel::Clear;
    followingList_ = true;
    selectionModel()->setCurrentIndex(model_->index(row), command);
    followingList_ = false;
    scrollTo(currentIndex());
}

bool ThumbnailGrid::event(QEvent* event) {
    // Typed names find cells, before the window's letter shortcuts take them.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers commands =
            Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
        if (!(key->modifiers() & commands) && !key->text().isEmpty() && key->text()[0].isPrint()) {
            event->accept();
            return true;
        }
    }
    return QListView::event(event);
}

void ThumbnailGrid::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QListView::wheelEvent(event);
        return;
    }
    wheelAngle_ += event->angleDelta().y();
    const int steps = wheelAngle_ / 120;
    wheelAngle_ -= steps * 120;
    if (steps != 0)
        SetIconSide(IconSide() + steps * kSideStep);
    event->accept();
}

void ThumbnailGrid::resizeEvent(QResizeEvent* event) {
    QListView::resizeEvent(event);
    warmScrolling_ = true;
    ScheduleWant();
}

bool ThumbnailGrid::viewportEvent(QEvent* event) {
    // After the paint, so that the window's new pixels are the ones the server copies.
    if (event->type() == QEvent::Paint && std::exchange(warmScrolling_, false))
        QTimer::singleShot(0, this, &ThumbnailGrid::WarmScrolling);
    return QListView::viewportEvent(event);
}

void ThumbnailGrid::WarmScrolling() {
    // An X server makes its copy of the window's pixels, which scrolling moves, on the first
    // scroll after the window is shown or resized: some 15 ms. One pixel down and back, as
    // soon as the window is painted, takes that out of the user's first step. The two rows
    // it bares are painted again with the next frame.
    viewport()->scroll(0, 1);
    viewport()->scroll(0, -1);
}

void ThumbnailGrid::scrollContentsBy(int dx, int dy) {
    QListView::scrollContentsBy(dx, dy);
    // Frames come one after another while scrolling: the window's thread gets a core of its
    // own until it stops.
    model_->Service().LeaveOneCore(true);
    scrollEnd_.start();
    ScheduleWant();
}

// After every step of a scroll the base class asks the display server where the pointer is, to
// move the hover and its status tip: on X11 a round trip each frame, which holds the frame for
// as long as the server is busy (up to 15 ms seen on two cores). The cells show no hover and
// have no status tips, and the model holds every row from the start, so nothing is left to do.
void ThumbnailGrid::verticalScrollbarValueChanged(int) {}

void ThumbnailGrid::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                const QList<int>& roles) {
    // Every cell has one size, so a thumbnail made moves none; QListView's own handling lays
    // out all the rows again for each.
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
}

void ThumbnailGrid::selectionChanged(const QItemSelection& selected,
                                     const QItemSelection& deselected) {
    QListView::selectionChanged(selected, deselected);
    if (followingList_ || selected.isEmpty())
        return;
    const int row = selected.indexes().front().row();
    const QListWidgetItem* item = list_.item(row);
    if (item != nullptr && !(list_.currentRow() == row && item->isSelected()))
        list_.setCurrentRow(row);
}
