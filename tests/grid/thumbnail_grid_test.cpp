// The grid over a folder of several thousand textures: it fills the screen, scrolls, selects
// and finds names as the list does, decoding only what comes on screen, and its disk cache
// serves the next start until a file changes.
#include "app/loader_listing.h"
#include "grid/grid_model.h"
#include "grid/thumbnail_grid.h"
#include "grid_textures.h"
#include "image_files.h"
#include "imagelist/varnel_loader.h"
#include "platform/qt_list_box.h"

#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace pictavo::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kWaitMs = 120000; // a guard against hanging, not a measure
constexpr unsigned kThreads = 2;

std::string NameOf(int number) {
    char name[32];
    std::snprintf(name, sizeof name, "tex_%04d.iwi", number);
    return name;
}

void WriteFolder(const fs::path& folder, int count) {
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i)
        WriteFlatIwi(folder / NameOf(i), ColourOf(i));
}

// The image list of a folder, and the grid over it in a window of its own.
class GridOverFolder {
public:
    GridOverFolder(const fs::path& folder, const fs::path& cache, const CountingMaker& maker) {
        loader.SetListBox(&box);
        loader.OpenList({OpenedList::Kind::kFolder, {folder.string()}, {}, folder.string()});
        loader.LoadList();
        list.hide();
        grid = new ThumbnailGrid(list, std::make_unique<LoaderListing>(loader),
                                 {cache, 64 << 20, kThreads, maker.Maker()}, &window);
        window.resize(640, 480);
        grid->setGeometry(window.rect());
        window.show();
        grid->SetOn(true);
    }

    GridModel& Model() { return grid->Model(); }
    int Row(const std::string& name) {
        const QList<QListWidgetItem*> found =
            list.findItems(QString::fromStdString(name), Qt::MatchExactly);
        return found.size() == 1 ? list.row(found.front()) : -1;
    }
    std::vector<int> VisibleRows() {
        const auto [first, last] = grid->VisibleRows();
        std::vector<int> rows;
        for (int row = first; row >= 0 && row <= last; ++row)
            rows.push_back(row);
        return rows;
    }
    bool CellReady(int row) {
        return Model().index(row).data(GridModel::kStateRole).toInt() == GridModel::kReady;
    }
    // Every cell on screen has its thumbnail, and nothing more is being made.
    bool ScreenFilled() {
        if (!QTest::qWaitFor(
                [&] {
                    const std::vector<int> rows = VisibleRows();
                    return !rows.empty() && std::all_of(rows.begin(), rows.end(),
                                                        [&](int row) { return CellReady(row); });
                },
                kWaitMs))
            return false;
        Model().Service().WaitIdle();
        QCoreApplication::processEvents();
        return true;
    }
    // The texel in the middle of a cell's thumbnail.
    Colour CellColour(int row) {
        const QImage image = Model().index(row).data(GridModel::kThumbnailRole).value<QImage>();
        const QColor c = image.pixelColor(image.width() / 2, image.height() / 2);
        return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                static_cast<std::uint8_t>(c.blue())};
    }
    // Each cell on screen shows the colour of the texture its list entry names.
    void ExpectRightThumbnailsOnScreen() {
        for (const int row : VisibleRows()) {
            const std::string name = list.item(row)->text().toStdString();
            EXPECT_EQ(CellColour(row), ColourOf(std::stoi(name.substr(4, 4)))) << name;
        }
    }

    QWidget window;
    QListWidget list{&window};
    QtListBox box{list};
    VarnelLoader loader;
    ThumbnailGrid* grid = nullptr;
};

class ThumbnailGridTest : public ::testing::Test {
protected:
    static constexpr int kImages = 3000;

    static void SetUpTestSuite() {
        folder_ = new TempDir;
        WriteFolder(folder_->path(), kImages);
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }
    static fs::path Folder() { return folder_->path(); }

    TempDir cache;

private:
    static inline TempDir* folder_ = nullptr;
};

TEST_F(ThumbnailGridTest, FillsTheScreenAndScrollsToTheEndDecodingOnlyWhatComesOnScreen) {
    const CountingMaker maker;
    GridOverFolder shown(Folder(), cache.path(), maker);
    ASSERT_EQ(shown.Model().rowCount(), kImages);
    ASSERT_TRUE(shown.ScreenFilled());
    const int screen = static_cast<int>(shown.VisibleRows().size());
    ASSERT_GT(screen, 4);
    shown.ExpectRightThumbnailsOnScreen();
    // The screen, and the next one made ahead of the scrolling.
    EXPECT_GE(maker.Calls(), screen);
    EXPECT_LE(maker.Calls(), 2 * screen + 1);

    // Page by page a little way down, then straight to the end.
    for (int page = 0; page < 3; ++page) {
        QTest::keyClick(shown.grid, Qt::Key_PageDown);
        ASSERT_TRUE(shown.ScreenFilled()) << page;
        shown.ExpectRightThumbnailsOnScreen();
    }
    const int beforeTheEnd = maker.Calls();
    shown.grid->scrollToBottom();
    ASSERT_TRUE(shown.ScreenFilled());
    shown.ExpectRightThumbnailsOnScreen();
    EXPECT_EQ(shown.VisibleRows().back(), kImages - 1);
    // The last screen and half of one above it, and at most one thread's worth of work that
    // was under way when the jump came.
    EXPECT_LE(maker.Calls() - beforeTheEnd, screen + screen / 2 + 1 + int(kThreads));
    EXPECT_LT(maker.Calls(), kImages / 10);
}

TEST_F(ThumbnailGridTest, ChoosesTheListsEntryByMouseKeysAndTypedNamesAndFollowsTheList) {
    GridOverFolder shown(Folder(), cache.path(), CountingMaker());
    ThumbnailGrid& grid = *shown.grid;
    ASSERT_TRUE(shown.ScreenFilled());

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                      grid.visualRect(shown.Model().index(5)).center());
    EXPECT_EQ(shown.list.currentRow(), 5);
    QTest::keyClick(&grid, Qt::Key_Right);
    EXPECT_EQ(shown.list.currentRow(), 6);
    int columns = 0;
    while (grid.visualRect(shown.Model().index(columns)).top() ==
           grid.visualRect(shown.Model().index(0)).top())
        ++columns;
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(shown.list.currentRow(), 6 + columns);
    QTest::keyClick(&grid, Qt::Key_End);
    EXPECT_EQ(shown.list.currentRow(), kImages - 1);
    EXPECT_EQ(shown.VisibleRows().back(), kImages - 1);

    QTest::keyClicks(&grid, "tex_1234");
    EXPECT_EQ(shown.list.currentItem()->text().toStdString(), NameOf(1234));

    // The list's own choice shows in the grid, scrolled into view.
    shown.list.setCurrentRow(2000);
    EXPECT_EQ(grid.currentIndex().row(), 2000);
    const std::vector<int> rows = shown.VisibleRows();
    EXPECT_TRUE(std::find(rows.begin(), rows.end(), 2000) != rows.end());
    ASSERT_TRUE(shown.ScreenFilled());
    shown.ExpectRightThumbnailsOnScreen();
}

TEST_F(ThumbnailGridTest, ShowsWhatTheFilterLeavesInTheListsOrder) {
    GridOverFolder shown(Folder(), cache.path(), CountingMaker());
    shown.loader.FilterList("tex_12");
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.Model().rowCount() == 100; }, kWaitMs));
    ASSERT_EQ(shown.list.count(), 100);
    for (int row = 0; row < shown.list.count(); ++row) {
        EXPECT_EQ(shown.Model().index(row).data(Qt::DisplayRole).toString(),
                  shown.list.item(row)->text());
    }
    ASSERT_TRUE(shown.ScreenFilled());
    shown.ExpectRightThumbnailsOnScreen();
    shown.loader.FilterList("");
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.Model().rowCount() == kImages; }, kWaitMs));
}

TEST_F(ThumbnailGridTest, CtrlWheelSizesTheCellsWithinTheirLimitsAndThePlainWheelScrolls) {
    GridOverFolder shown(Folder(), cache.path(), CountingMaker());
    ThumbnailGrid& grid = *shown.grid;
    ASSERT_TRUE(shown.ScreenFilled());
    const auto turn = [&](int notches, Qt::KeyboardModifiers modifiers) {
        const QPointF at = grid.viewport()->rect().center();
        QWheelEvent wheel(at, grid.viewport()->mapToGlobal(at), {}, {0, 120 * notches},
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid.viewport(), &wheel);
    };
    ASSERT_EQ(grid.IconSide(), ThumbnailGrid::kFirstSide);
    const QSize firstCell = grid.gridSize();
    turn(1, Qt::ControlModifier);
    EXPECT_EQ(grid.IconSide(), ThumbnailGrid::kFirstSide + ThumbnailGrid::kSideStep);
    EXPECT_GT(grid.gridSize().height(), firstCell.height());
    turn(20, Qt::ControlModifier);
    EXPECT_EQ(grid.IconSide(), ThumbnailGrid::kLargestSide);
    turn(-30, Qt::ControlModifier);
    EXPECT_EQ(grid.IconSide(), ThumbnailGrid::kSmallestSide);

    // Small cells: more of them on screen, each thumbnail enlarged to the cell's icon.
    ASSERT_TRUE(shown.ScreenFilled());
    for (const int row : shown.VisibleRows()) {
        const QImage image =
            shown.Model().index(row).data(GridModel::kThumbnailRole).value<QImage>();
        EXPECT_EQ(image.size(), QSize(ThumbnailGrid::kSmallestSide, ThumbnailGrid::kSmallestSide));
    }
    shown.ExpectRightThumbnailsOnScreen();

    const int scrolled = grid.verticalScrollBar()->value();
    turn(-1, Qt::NoModifier);
    EXPECT_GT(grid.verticalScrollBar()->value(), scrolled);
    EXPECT_EQ(grid.IconSide(), ThumbnailGrid::kSmallestSide);
}

TEST_F(ThumbnailGridTest, CountsAsOnScreenEveryCellThatIsAndNoOther) {
    GridOverFolder shown(Folder(), cache.path(), CountingMaker());
    ThumbnailGrid& grid = *shown.grid;
    for (const int side : {ThumbnailGrid::kSmallestSide, 100, ThumbnailGrid::kLargestSide}) {
        grid.SetIconSide(side);
        QScrollBar& bar = *grid.verticalScrollBar();
        for (const int at : {0, 1, bar.maximum() / 3, bar.maximum() - 1, bar.maximum()}) {
            bar.setValue(at);
            QCoreApplication::processEvents();
            std::vector<int> seen;
            for (int row = 0; row < shown.Model().rowCount(); ++row) {
                if (grid.visualRect(shown.Model().index(row)).intersects(grid.viewport()->rect()))
                    seen.push_back(row);
            }
            ASSERT_FALSE(seen.empty());
            EXPECT_EQ(grid.VisibleRows(), std::make_pair(seen.front(), seen.back()))
                << "side " << side << ", scrolled " << at;
        }
    }
}

// After a resize the grid scrolls a pixel down and back on its own: the screen must show what
// the grid paints, with no row left behind.
TEST_F(ThumbnailGridTest, AfterAResizeTheScreenShowsExactlyWhatTheGridPaints) {
    GridOverFolder shown(Folder(), cache.path(), CountingMaker());
    QWidget& viewport = *shown.grid->viewport();
    const auto onScreen = [&] {
        const QPoint at = viewport.mapTo(&shown.window, QPoint());
        return shown.window.screen()
            ->grabWindow(shown.window.winId(), at.x(), at.y(), viewport.width(), viewport.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    const auto painted = [&] {
        return viewport.grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    for (const QSize size : {QSize(640, 480), QSize(700, 530)}) {
        shown.window.resize(size);
        shown.grid->setGeometry(shown.window.rect());
        ASSERT_TRUE(shown.ScreenFilled());
        for (int turn = 0; turn < 3; ++turn) // the scroll comes a turn after the paint
            QCoreApplication::processEvents();
        EXPECT_TRUE(QTest::qWaitFor([&] { return onScreen() == painted(); }, kWaitMs / 10))
            << size.width() << " x " << size.height();
    }
}

TEST_F(ThumbnailGridTest, TakesInABoundedShareOfTheThumbnailsMadeAtOnceEachTurn) {
    GridOverFolder shown(Folder(), cache.path(), CountingMaker());
    ASSERT_TRUE(shown.ScreenFilled());
    GridModel& model = shown.Model();
    // What the screen asked for, the next screen too, all taken in: nothing is left waiting.
    const std::vector<int> screen = shown.VisibleRows();
    const int asked = screen.back() + static_cast<int>(screen.size());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (int row = 0; row <= asked; ++row) {
                if (model.index(row).data(GridModel::kStateRole).toInt() == GridModel::kWaiting)
                    return false;
            }
            return true;
        },
        kWaitMs));
    const int first = 1000;
    const int rows = 200;
    const auto ready = [&] {
        int count = 0;
        for (int row = first; row < first + rows; ++row)
            count += shown.CellReady(row);
        return count;
    };
    ASSERT_EQ(ready(), 0);
    // All made before the window's thread looks: one turn takes in its share, the next the
    // next.
    model.Want(first, first + rows - 1, first, first + rows - 1);
    model.Service().WaitIdle();
    QCoreApplication::sendPostedEvents(&model, QEvent::MetaCall);
    EXPECT_EQ(ready(), int(GridModel::kTakenPerTurn));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ready() == rows; }, kWaitMs));
}

TEST_F(ThumbnailGridTest, LeavesACoreToTheWindowWhileScrollingAndTakesItBackAfter) {
    GridOverFolder shown(Folder(), cache.path(), CountingMaker());
    ASSERT_TRUE(shown.ScreenFilled());
    pictavo::ThumbnailService& service = shown.Model().Service();
    ASSERT_EQ(service.Workers(), kThreads);
    shown.grid->verticalScrollBar()->setValue(shown.grid->verticalScrollBar()->value() + 60);
    EXPECT_EQ(service.Workers(), kThreads - 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return service.Workers() == kThreads; }, kWaitMs));
    ASSERT_TRUE(shown.ScreenFilled());
    shown.ExpectRightThumbnailsOnScreen();
}

// A folder of its own: the test rewrites files.
class GridDiskCacheTest : public ::testing::Test {
protected:
    static constexpr int kImages = 300;

    GridDiskCacheTest() { WriteFolder(folder.path(), kImages); }

    // Rewrites a file in another colour; its time moves on as a later save's would.
    void Repaint(int number, Colour colour) {
        const fs::path path = folder.path() / NameOf(number);
        const fs::file_time_type saved = fs::last_write_time(path);
        WriteFlatIwi(path, colour);
        fs::last_write_time(path, saved + std::chrono::seconds(10));
    }

    TempDir folder;
    TempDir cache;
};

TEST_F(GridDiskCacheTest, TheNextStartReadsTheCacheAndMakesOnlyAChangedFileAgain) {
    int made = 0;
    {
        const CountingMaker maker;
        GridOverFolder first(folder.path(), cache.path(), maker);
        ASSERT_TRUE(first.ScreenFilled());
        made = maker.Calls();
        EXPECT_GT(made, 0);
    }
    {
        const CountingMaker maker;
        GridOverFolder second(folder.path(), cache.path(), maker);
        ASSERT_TRUE(second.ScreenFilled());
        second.ExpectRightThumbnailsOnScreen();
        EXPECT_EQ(maker.Calls(), 0);
    }
    Repaint(1, ColourOf(5001));
    const CountingMaker maker;
    GridOverFolder third(folder.path(), cache.path(), maker);
    ASSERT_TRUE(third.ScreenFilled());
    EXPECT_EQ(maker.Calls(), 1);
    EXPECT_EQ(third.CellColour(1), ColourOf(5001));

    // Within a run, reading the list again (Refresh) checks what is on screen again.
    Repaint(2, ColourOf(5002));
    third.loader.InvalidateList();
    third.loader.LoadList();
    ASSERT_TRUE(QTest::qWaitFor([&] { return third.CellColour(2) == ColourOf(5002); }, kWaitMs));
    ASSERT_TRUE(third.ScreenFilled());
    EXPECT_EQ(maker.Calls(), 2);
    EXPECT_EQ(third.CellColour(1), ColourOf(5001));
    EXPECT_EQ(third.CellColour(3), ColourOf(3));
}

TEST_F(GridDiskCacheTest, ClearingTheCacheEmptiesItsFolderAndMakesTheScreenAgain) {
    const CountingMaker maker;
    GridOverFolder shown(folder.path(), cache.path(), maker);
    ASSERT_TRUE(shown.ScreenFilled());
    const int made = maker.Calls();
    ASSERT_FALSE(fs::is_empty(cache.path()));
    shown.grid->ClearCache();
    ASSERT_TRUE(shown.ScreenFilled());
    shown.ExpectRightThumbnailsOnScreen();
    EXPECT_GE(maker.Calls(), made + static_cast<int>(shown.VisibleRows().size()));
}

} // namespace
} // namespace pictavo::testing
