#pragma once

#include "grid/grid_listing.h"
#include "grid/thumbnail_service.h"

#include <QListView>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <utility>

class GridCellDelegate;
class GridModel;
class QListWidget;
class QMenu;

// The image list as a grid of thumbnails, shown instead of the view while it is on. Its cells
// are the list's rows after the filter; choosing one chooses the list's entry, and a double
// click goes back to the view showing it. Thumbnails are made in the background, those on
// screen first, and cached on disk; a cell shows a placeholder until its own is made.
// Ctrl+wheel sizes the cells; arrows, pages and typed names move through them.
class ThumbnailGrid final : public QListView {
    Q_OBJECT

public:
    static constexpr int kSmallestSide = 48;
    static constexpr int kLargestSide = 256;
    static constexpr int kSideStep = 16;
    static constexpr int kFirstSide = 128;

    // The disk cache in the user's cache folder, every core making thumbnails.
    static pictavo::ThumbnailSettings UserSettings();

    ThumbnailGrid(QListWidget& list, std::unique_ptr<GridListing> listing,
                  pictavo::ThumbnailSettings settings, QWidget* parent = nullptr);
    ~ThumbnailGrid() override;

    // View > Grid, which switches it on and off, and View > Clear Thumbnail Cache.
    void AddActions(QMenu& menu);
    // Hides `view` while on, and shows it again after; the window gives both one place.
    void TakePlaceOf(QWidget& view);
    void SetOn(bool on);
    void SetIconSide(int side);
    int IconSide() const;
    // Forgets every thumbnail made, in memory and on disk; those on screen are made again.
    void ClearCache();
    // The first and last rows with a cell on screen; -1 and -1 when none is.
    std::pair<int, int> VisibleRows() const;
    GridModel& Model() { return *model_; }

protected:
    bool event(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

protected slots:
    void verticalScrollbarValueChanged(int value) override;

private:
    // Cells in a line of the layout now.
    int Columns() const;
    void ScheduleWant();
    void WantVisible();
    void FollowListSelection();
    void WarmScrolling();

    QListWidget& list_;
    std::unique_ptr<GridListing> listing_;
    std::unique_ptr<GridModel> model_; // after the listing it asks
    GridCellDelegate* delegate_;
    QPointer<QWidget> view_;
    QAction* toggle_ = nullptr;
    QTimer wantTimer_;
    QTimer scrollEnd_; // the scrolling paused: every worker makes thumbnails again
    // What the number of columns was counted for: rows, viewport width and cell size.
    struct Layout {
        int rows = -1;
        int width = 0;
        QSize cell;
        bool operator==(const Layout&) const = default;
    };
    mutable Layout columnsFor_;
    mutable int columns_ = 1;
    bool on_ = false;
    bool followingList_ = false; // while the list's choice is copied here
    bool warmScrolling_ = false; // after the next paint
    int wheelAngle_ = 0;         // of Ctrl+wheel, not yet a whole step
};
