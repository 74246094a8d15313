#include "platform/app_icon.h"
#include "platform/dialog_units.h"
#include "platform/testing/recording_shell_opener.h"
#include "update/about_dlg.h"
#include "version/pictavo_version.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using pictavo::FindControl;

// A dialog-unit rectangle of the About box's layout.
struct Layout {
    int x, y, width, height;
};

class AboutDlgTest : public testing::Test {
protected:
    QRect Rect(Layout layout) const {
        return pictavo::DialogUnits(dialog_.font())
            .Rect(layout.x, layout.y, layout.width, layout.height);
    }

    // The one plain label showing `text`, or nullptr.
    QLabel* LabelWith(const QString& text) const {
        QLabel* found = nullptr;
        for (QLabel* label : dialog_.findChildren<QLabel*>()) {
            if (qobject_cast<CHyperlink*>(label) == nullptr && label->text() == text) {
                EXPECT_EQ(found, nullptr) << "two labels show " << text.toStdString();
                found = label;
            }
        }
        return found;
    }

    CHyperlink& Link() const { return *FindControl<CHyperlink>(dialog_, AboutDlg::kSiteLink); }
    QPushButton& Ok() const { return *FindControl<QPushButton>(dialog_, AboutDlg::kOk); }

    RecordingShellOpener shell_;
    pictavo::ScopedReplacement<ShellOpener> shellScope_{shell_};
    AboutDlg dialog_;
};

TEST_F(AboutDlgTest, IsAFixedSizeBoxWithCaptionAndSystemMenu) {
    EXPECT_EQ(dialog_.windowTitle(), "About Pictavo");
    EXPECT_EQ(dialog_.font().family(), "MS Shell Dlg");
    EXPECT_EQ(dialog_.font().pointSize(), 8);
    const QSize size = pictavo::DialogUnits(dialog_.font()).Size(235, 103);
    EXPECT_EQ(dialog_.size(), size);
    EXPECT_EQ(dialog_.minimumSize(), size);
    EXPECT_EQ(dialog_.maximumSize(), size);

    const Qt::WindowFlags flags = dialog_.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowContextHelpButtonHint));
}

struct StaticText {
    std::string text;
    Layout layout;
};

void PrintTo(const StaticText& text, std::ostream* out) {
    *out << '"' << text.text << '"';
}

class AboutDlgTextTest : public AboutDlgTest, public testing::WithParamInterface<StaticText> {};

TEST_P(AboutDlgTextTest, ShowsTheTextWhollyAtItsPlace) {
    const StaticText& expected = GetParam();
    QLabel* label = LabelWith(QString::fromStdString(expected.text));
    ASSERT_NE(label, nullptr);

    EXPECT_EQ(label->geometry(), Rect(expected.layout));
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    const int wrap = label->wordWrap() ? Qt::TextWordWrap : 0;
    const QRect needed = QFontMetrics(label->font())
                             .boundingRect(QRect(QPoint(), label->size()), wrap, label->text());
    EXPECT_LE(needed.width(), label->width()) << "clipped on the right";
    EXPECT_LE(needed.height(), label->height()) << "clipped at the bottom";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AboutDlgTextTest,
    testing::Values(
        StaticText{std::string("Version ") + kPictavoVersion, {40, 10, 119, 8}},
        StaticText{"A Pictavo project release", {40, 25, 119, 8}},
        StaticText{
            "Pictavo views the IWI images of Cod4, Cod5, MW2, BO and MW3 quickly and easily.",
            {40, 42, 174, 19}},
        StaticText{"Site:", {40, 68, 24, 8}}));

TEST_F(AboutDlgTest, ShowsTheProgramIconInTheBoxAndItsFrame) {
    const QImage icon = AppIcon().pixmap(32, 32).toImage();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(dialog_.windowIcon().pixmap(32, 32).toImage(), icon);

    QLabel* iconLabel = nullptr;
    for (QLabel* label : dialog_.findChildren<QLabel*>()) {
        if (label->text().isEmpty() && qobject_cast<CHyperlink*>(label) == nullptr)
            iconLabel = label;
    }
    ASSERT_NE(iconLabel, nullptr);
    const QRect rect = Rect({11, 17, 20, 20});
    EXPECT_EQ(iconLabel->geometry(), rect);
    const QPixmap shown = iconLabel->pixmap();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.toImage(), AppIcon().pixmap(rect.size()).toImage());
}

TEST_F(AboutDlgTest, HoldsNothingButItsSixStaticsAndOk) {
    EXPECT_EQ(dialog_.findChildren<QLabel*>().size(), 6);
    EXPECT_EQ(dialog_.findChildren<QPushButton*>().size(), 1);
}

TEST_F(AboutDlgTest, LinksToOurSite) {
    ASSERT_NE(FindControl<CHyperlink>(dialog_, AboutDlg::kSiteLink), nullptr);
    EXPECT_EQ(Link().text(), "pictavo.varnel.net");
    EXPECT_EQ(Link().Url(), "http://pictavo.varnel.net");
}

TEST_F(AboutDlgTest, LinkStartsAtItsPlaceAndGrowsToShowAllItsText) {
    const QRect given = Rect({59, 68, 65, 8});

    EXPECT_EQ(Link().pos(), given.topLeft());
    EXPECT_GE(Link().width(), given.width());
    EXPECT_GE(Link().height(), given.height());
    const QFontMetrics metrics(Link().LinkFont());
    EXPECT_GE(Link().width(), metrics.horizontalAdvance(Link().text()));
    EXPECT_GE(Link().height(), metrics.height());
    EXPECT_TRUE(dialog_.rect().contains(Link().geometry()));
    EXPECT_FALSE(Link().geometry().intersects(Ok().geometry()));
}

TEST_F(AboutDlgTest, HandCursorShowsOverTheLinkOnly) {
    EXPECT_TRUE(Link().testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(Link().cursor().shape(), Qt::PointingHandCursor);

    EXPECT_FALSE(dialog_.testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(dialog_.cursor().shape(), Qt::ArrowCursor);
    for (QWidget* control : dialog_.findChildren<QWidget*>()) {
        if (control != &Link()) {
            EXPECT_FALSE(control->testAttribute(Qt::WA_SetCursor))
                << control->metaObject()->className();
        }
    }
}

TEST_F(AboutDlgTest, ClickOnTheLinkOpensTheSiteAndLeavesTheBoxOpen) {
    dialog_.show();
    const QPoint inside(2, 2);
    QMouseEvent press(QEvent::MouseButtonPress, inside, Link().mapToGlobal(inside), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, inside, Link().mapToGlobal(inside),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);

    QApplication::sendEvent(&Link(), &press);
    EXPECT_TRUE(shell_.opened.empty());
    QApplication::sendEvent(&Link(), &release);

    EXPECT_EQ(shell_.opened, std::vector<std::string>{"http://pictavo.varnel.net"});
    EXPECT_TRUE(dialog_.isVisible());
}

TEST_F(AboutDlgTest, OkIsTheDefaultButton) {
    ASSERT_NE(FindControl<QPushButton>(dialog_, AboutDlg::kOk), nullptr);
    EXPECT_EQ(Ok().text(), "OK");
    EXPECT_TRUE(Ok().isDefault());
    EXPECT_EQ(Ok().geometry(), Rect({177, 83, 50, 16}));
}

TEST_F(AboutDlgTest, OkEndsTheModalRun) {
    QTimer::singleShot(0, &dialog_, [this] { Ok().click(); });
    // Should OK fail to close the box, end the run anyway so that the test cannot hang.
    QTimer::singleShot(5000, &dialog_, &QDialog::reject);

    EXPECT_EQ(dialog_.exec(), QDialog::Accepted);
    EXPECT_FALSE(dialog_.isVisible());
    EXPECT_TRUE(shell_.opened.empty());
}

struct ClosingKey {
    const char* name;
    Qt::Key key;
    QDialog::DialogCode result;
};

void PrintTo(const ClosingKey& key, std::ostream* out) {
    *out << key.name;
}

class AboutDlgKeyTest : public AboutDlgTest, public testing::WithParamInterface<ClosingKey> {};

TEST_P(AboutDlgKeyTest, KeyClosesTheBox) {
    dialog_.open();
    QKeyEvent press(QEvent::KeyPress, GetParam().key, Qt::NoModifier);

    QApplication::sendEvent(&dialog_, &press);

    EXPECT_FALSE(dialog_.isVisible());
    EXPECT_EQ(dialog_.result(), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Keys, AboutDlgKeyTest,
                         testing::Values(ClosingKey{"Enter", Qt::Key_Return, QDialog::Accepted},
                                         ClosingKey{"Escape", Qt::Key_Escape, QDialog::Rejected}),
                         [](const testing::TestParamInfo<ClosingKey>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
