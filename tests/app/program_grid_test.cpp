// The thumbnail grid in the program's window: View > Grid puts it in the view's place, a
// cell chosen by name or by the mouse shows its image as the list does, a double click goes
// back to the view, and its thumbnails are cached under the user's cache folder.
#include "grid/grid_model.h"
#include "grid/thumbnail_grid.h"
#include "program_fixture.h"

#include <QAction>
#include <QStandardPaths>
#include <QTest>

namespace pictavo::testing {
namespace {

ThumbnailGrid& Grid() {
    return *MainDialog()->findChild<ThumbnailGrid*>();
}

void Trigger(const char* action) {
    QAction* found = MainDialog()->findChild<QAction*>(action);
    ASSERT_NE(found, nullptr) << action;
    found->trigger();
}

class ProgramGridTest : public ProgramTest {
protected:
    ProgramGridTest() : previousCacheHome_(qgetenv("XDG_CACHE_HOME")) {
#if defined(_WIN32)
        // No XDG_CACHE_HOME there: Qt's test folders stand in for the user's own.
        QStandardPaths::setTestModeEnabled(true);
#else
        qputenv("XDG_CACHE_HOME", QByteArray::fromStdString((dir.path() / "cache").string()));
#endif
        thumbnails = fs::path(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
                                  .toStdU16String()) /
                     "Varnel" / "Pictavo" / "thumbnails";
    }
    ~ProgramGridTest() override {
        QStandardPaths::setTestModeEnabled(false);
        if (previousCacheHome_.isEmpty())
            qunsetenv("XDG_CACHE_HOME");
        else
            qputenv("XDG_CACHE_HOME", previousCacheHome_);
    }

    bool AllCellsMade() {
        GridModel& model = Grid().Model();
        for (int row = 0; row < model.rowCount(); ++row) {
            if (model.index(row).data(GridModel::kStateRole).toInt() != GridModel::kReady)
                return false;
        }
        return model.rowCount() > 0;
    }

    fs::path thumbnails;

private:
    QByteArray previousCacheHome_;
};

TEST_F(ProgramGridTest, TakesTheViewsPlaceChoosesAsTheListDoesAndGoesBackOnADoubleClick) {
    theApp.openPaths = {images.string()};
    script
        .Then(
            "the folder listed", [] { return MainDialogRunning() && ImageList().count() == 5; },
            [] { Trigger("viewGrid"); })
        .Then(
            "the grid in the view's place, every cell made", [this] { return AllCellsMade(); },
            [this] {
                ThumbnailGrid& grid = Grid();
                EXPECT_TRUE(grid.isVisible());
                EXPECT_FALSE(MainDialog()->View().isVisible());
                EXPECT_EQ(grid.geometry(), MainDialog()->View().geometry());
                // The window's focus child: whether the window itself is active is up to the
                // window system, and Xvfb has no window manager to activate it.
                EXPECT_EQ(MainDialog()->focusWidget(), &grid);
                // Nothing chosen yet, in the list or the grid.
                EXPECT_FALSE(grid.selectionModel()->hasSelection());
                EXPECT_EQ(Label(CLumideskDlg::kDimensions), "0 x 0");
                const int crate = 2;
                EXPECT_EQ(grid.Model().index(crate).data(Qt::DisplayRole).toString(), "crate.iwi");
                EXPECT_EQ(grid.Model().index(crate).data(GridModel::kFactsRole).toString(),
                          "128 x 256 DXT5");
                EXPECT_FALSE(fs::is_empty(thumbnails));
                // Typed letters find names; "c" is also the view's shortcut for colour
                // without alpha, which must not take it.
                QTest::keyClicks(&grid, "cr");
                ASSERT_NE(ImageList().currentItem(), nullptr);
                EXPECT_EQ(ImageList().currentItem()->text(), "crate.iwi");
                EXPECT_EQ(Label(CLumideskDlg::kDimensions), "128 x 256");
                EXPECT_EQ(Label(CLumideskDlg::kFormat), "DTX5");

                const QRect wall = grid.visualRect(grid.Model().index(3));
                QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, wall.center());
                EXPECT_EQ(ImageList().currentItem()->text(), "wall_col.iwi");
                EXPECT_EQ(Label(CLumideskDlg::kDimensions), "256 x 128");
                EXPECT_EQ(Label(CLumideskDlg::kFormat), "DTX1");
                QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, wall.center());
            })
        .Then(
            "back to the view, showing the image chosen",
            [] { return MainDialog()->View().isVisible(); },
            [this] {
                EXPECT_FALSE(Grid().isVisible());
                QAction* toggle = MainDialog()->findChild<QAction*>("viewGrid");
                EXPECT_FALSE(toggle->isChecked());
                EXPECT_EQ(ImageList().currentItem()->text(), "wall_col.iwi");
                Trigger("viewClearThumbnails");
                EXPECT_FALSE(fs::exists(thumbnails));
                MainDialog()->reject();
            });
    Run();
}

} // namespace
} // namespace pictavo::testing
