// The main window as it grows: the controls that follow its edges, and its size and place
// remembered from one run to the next.
#include "app/window_anchors.h"
#include "program_fixture.h"

#include <QPlainTextEdit>
#include <QSplitter>
#include <QTest>

namespace pictavo::testing {
namespace {

TEST(WindowAnchorsTest, ControlsFollowTheEdgesTheyAreAnchoredTo) {
    const QRect base(10, 20, 100, 50);
    const QSize grown(300, 200);
    struct Case {
        int edges;
        QRect expected;
    };
    const Case cases[] = {
        {kAnchorLeft | kAnchorTop, base},
        {0, base},
        {kAnchorAll, QRect(10, 20, 400, 250)},
        {kAnchorRight | kAnchorBottom, QRect(310, 220, 100, 50)},
        {kAnchorTop | kAnchorRight | kAnchorBottom, QRect(310, 20, 100, 250)},
        {kAnchorLeft | kAnchorRight | kAnchorBottom, QRect(10, 220, 400, 50)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AnchoredRect(base, c.edges, grown), c.expected) << "edges " << c.edges;
        EXPECT_EQ(AnchoredRect(base, c.edges, QSize(0, 0)), base) << "edges " << c.edges;
    }
    EXPECT_EQ(AnchoredRect(base, kAnchorAll, QSize(-150, -80)), QRect(10, 20, 0, 0))
        << "never a negative size";
}

class ProgramWindowTest : public ProgramTest {};

// Where `control` stands in the main dialog, whichever widget holds it.
QRect InDialog(const QWidget& control) {
    return QRect(control.mapTo(MainDialog(), QPoint(0, 0)), control.size());
}

TEST_F(ProgramWindowTest, GrowingTheViewTakesTheSpaceAndTheSizeIsRemembered) {
    SeedMW2Game(images);
    const QSize growth(320, 180);
    QSize ownSize;
    QRect grownPlace;
    QRect grownView;
    script.Then(
        "the main dialog at its own size", [] { return MainDialogRunning(); },
        [&] {
            CLumideskDlg& dialog = *MainDialog();
            ownSize = dialog.size();
            EXPECT_EQ(dialog.minimumSize(), ownSize) << "never smaller than its own size";
            EXPECT_GT(dialog.maximumWidth(), 10000) << "no fixed size";
            EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));

            QWidget& view = dialog.View();
            QWidget& list = ImageList();
            QWidget& filter = Filter();
            QWidget& refresh = *FindControl<QPushButton>(dialog, CLumideskDlg::kRefresh);
            QWidget& format = *FindControl<QLabel>(dialog, CLumideskDlg::kFormat);
            QWidget& info = *FindControl<QPlainTextEdit>(dialog, CLumideskDlg::kInfoPanel);
            QWidget& status = *FindControl<QLabel>(dialog, CLumideskDlg::kStatusLine);
            const QRect viewBefore = InDialog(view);
            const QRect listBefore = InDialog(list);
            const QRect filterBefore = InDialog(filter);
            const QRect refreshBefore = InDialog(refresh);
            const QRect formatBefore = InDialog(format);
            const QRect infoBefore = InDialog(info);
            const QRect statusBefore = InDialog(status);

            dialog.resize(ownSize + growth);
            QTRY_COMPARE(dialog.size(), ownSize + growth);
            const QPoint right(growth.width(), 0);
            const QPoint corner(growth.width(), growth.height());
            EXPECT_EQ(InDialog(view), viewBefore.adjusted(0, 0, growth.width(), growth.height()));
            EXPECT_EQ(InDialog(list),
                      listBefore.translated(right).adjusted(0, 0, 0, growth.height()));
            EXPECT_EQ(InDialog(info),
                      infoBefore.translated(right).adjusted(0, 0, 0, growth.height()));
            for (const auto& [control, before] :
                 {std::pair{&filter, filterBefore}, std::pair{&refresh, refreshBefore},
                  std::pair{&format, formatBefore}})
                EXPECT_EQ(InDialog(*control), before.translated(corner));
            EXPECT_EQ(
                InDialog(status),
                statusBefore.translated(0, growth.height()).adjusted(0, 0, growth.width(), 0));
            grownPlace = dialog.geometry();
            grownView = InDialog(view);

            // A frame drawn at the new size fills the new viewport.
            const std::int64_t drawn = FramesDrawn();
            QTRY_VERIFY(FramesDrawn() > drawn + 2);
            EXPECT_EQ(dialog.View().Viewport().DeviceWidth(),
                      view.width() * dialog.View().devicePixelRatioF());
            QTest::keyClick(&list, Qt::Key_Escape);
        });
    Run();

    script.Then(
        "the next run at the size it ended with", [] { return MainDialogRunning(); },
        [&] {
            EXPECT_EQ(MainDialog()->size(), grownPlace.size());
            EXPECT_EQ(InDialog(MainDialog()->View()), grownView) << "anchored from the start";
            QTest::keyClick(&ImageList(), Qt::Key_Escape);
        });
    Run();
    EXPECT_FALSE(StoredText("Geometry").has_value()) << "not among the Settings dialog's values";
}

TEST_F(ProgramWindowTest, TheListsColumnWidensAtTheViewsCostAndKeepsItsWidth) {
    SeedMW2Game(images);
    constexpr int kWider = 120;
    int columnWidth = 0;
    script.Then(
        "the main dialog", [] { return MainDialogRunning(); },
        [&] {
            CLumideskDlg& dialog = *MainDialog();
            auto* splitter = dialog.findChild<QSplitter*>();
            ASSERT_NE(splitter, nullptr);
            ASSERT_EQ(splitter->count(), 2);
            EXPECT_TRUE(splitter->widget(0)->isAncestorOf(&dialog.View()));
            EXPECT_TRUE(splitter->widget(1)->isAncestorOf(&ImageList()));
            QWidget& list = ImageList();
            QWidget& filter = Filter();
            QWidget& settings = *FindControl<QPushButton>(dialog, CLumideskDlg::kSettings);
            QWidget& exportButton = *FindControl<QPushButton>(dialog, CLumideskDlg::kExport);
            QWidget& format = *FindControl<QLabel>(dialog, CLumideskDlg::kFormat);
            QWidget& info = *FindControl<QPlainTextEdit>(dialog, CLumideskDlg::kInfoPanel);
            const QRect listBefore = InDialog(list);
            const QRect filterBefore = InDialog(filter);
            const QRect settingsBefore = InDialog(settings);
            const QRect exportBefore = InDialog(exportButton);
            const QRect formatBefore = InDialog(format);
            const QRect infoBefore = InDialog(info);
            const QRect viewBefore = InDialog(dialog.View());

            const QList<int> sizes = splitter->sizes();
            splitter->setSizes({sizes[0] - kWider, sizes[1] + kWider});
            const QPoint left(-kWider, 0);
            EXPECT_EQ(InDialog(dialog.View()), viewBefore.adjusted(0, 0, -kWider, 0));
            EXPECT_EQ(InDialog(list), listBefore.translated(left).adjusted(0, 0, kWider, 0));
            EXPECT_EQ(InDialog(filter), filterBefore.translated(left).adjusted(0, 0, kWider, 0));
            EXPECT_EQ(InDialog(info), infoBefore) << "the info panel keeps its width and place";
            // The buttons and labels stay together under the list's left end.
            EXPECT_EQ(InDialog(settings), settingsBefore.translated(left));
            EXPECT_EQ(InDialog(exportButton), exportBefore.translated(left));
            EXPECT_EQ(InDialog(format), formatBefore.translated(left).adjusted(0, 0, kWider, 0));
            columnWidth = splitter->sizes()[1];
            QTest::keyClick(&list, Qt::Key_Escape);
        });
    Run();

    script.Then(
        "the next run with the column as wide", [] { return MainDialogRunning(); },
        [&] {
            EXPECT_EQ(MainDialog()->findChild<QSplitter*>()->sizes()[1], columnWidth);
            QTest::keyClick(&ImageList(), Qt::Key_Escape);
        });
    Run();
}

} // namespace
} // namespace pictavo::testing
