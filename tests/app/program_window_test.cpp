// The main window as it grows: the controls that follow its edges, and its size and place
// remembered from one run to the next.
#include "app/window_anchors.h"
#include "program_fixture.h"

#include <QPlainTextEdit>
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
            const QRect viewBefore = view.geometry();
            const QRect listBefore = list.geometry();
            const QRect filterBefore = filter.geometry();
            const QRect refreshBefore = refresh.geometry();
            const QRect formatBefore = format.geometry();
            const QRect infoBefore = info.geometry();
            const QRect statusBefore = status.geometry();

            dialog.resize(ownSize + growth);
            QTRY_COMPARE(dialog.size(), ownSize + growth);
            const QPoint right(growth.width(), 0);
            const QPoint corner(growth.width(), growth.height());
            EXPECT_EQ(view.geometry(), viewBefore.adjusted(0, 0, growth.width(), growth.height()));
            EXPECT_EQ(list.geometry(),
                      listBefore.translated(right).adjusted(0, 0, 0, growth.height()));
            EXPECT_EQ(info.geometry(),
                      infoBefore.translated(right).adjusted(0, 0, 0, growth.height()));
            for (const auto& [control, before] :
                 {std::pair{&filter, filterBefore}, std::pair{&refresh, refreshBefore},
                  std::pair{&format, formatBefore}})
                EXPECT_EQ(control->geometry(), before.translated(corner));
            EXPECT_EQ(
                status.geometry(),
                statusBefore.translated(0, growth.height()).adjusted(0, 0, growth.width(), 0));
            grownPlace = dialog.geometry();
            grownView = view.geometry();

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
            EXPECT_EQ(MainDialog()->View().geometry(), grownView) << "anchored from the start";
            QTest::keyClick(&ImageList(), Qt::Key_Escape);
        });
    Run();
    EXPECT_FALSE(StoredText("Geometry").has_value()) << "not among the Settings dialog's values";
}

} // namespace
} // namespace pictavo::testing
