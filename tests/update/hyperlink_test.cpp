#include "platform/testing/recording_shell_opener.h"
#include "update/hyperlink.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr char kSiteName[] = "pictavo.varnel.net";
const QColor kWhite(255, 255, 255);

void SendMouse(QWidget& widget, QEvent::Type type, Qt::MouseButton button, QPoint position) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button)
                                                                   : Qt::MouseButtons(Qt::NoButton);
    QMouseEvent event(type, position, widget.mapToGlobal(position), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

class HyperlinkTest : public testing::Test {
protected:
    HyperlinkTest() { link_.setText(kSiteName); }

    RecordingShellOpener shell_;
    pictavo::ScopedReplacement<ShellOpener> shellScope_{shell_};
    CHyperlink link_;
};

TEST_F(HyperlinkTest, LinkFontIsThinUnderlinedTahomaOf15Pixels) {
    const QFont& font = link_.LinkFont();
    EXPECT_EQ(font.family(), "Tahoma");
    EXPECT_EQ(font.pixelSize(), 15);
    EXPECT_EQ(font.weight(), QFont::Thin);
    EXPECT_TRUE(font.underline());
    EXPECT_FALSE(font.italic());
    EXPECT_FALSE(font.strikeOut());
}

TEST_F(HyperlinkTest, OpensOurSiteOverHttp) {
    EXPECT_EQ(link_.Url(), "http://pictavo.varnel.net");
}

TEST_F(HyperlinkTest, HasNoCursorOfItsOwnUntilBound) {
    EXPECT_FALSE(link_.testAttribute(Qt::WA_SetCursor));

    link_.PreSubclassWindow();

    EXPECT_TRUE(link_.testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(link_.cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(HyperlinkTest, BindingKeepsACursorAlreadyChosen) {
    link_.setCursor(Qt::CrossCursor);

    link_.PreSubclassWindow();

    EXPECT_EQ(link_.cursor().shape(), Qt::CrossCursor);
}

TEST_F(HyperlinkTest, SizeHintHoldsTheTextInTheLinkFont) {
    link_.setFont(QFont("DejaVu Sans", 4));
    const QSize hint = link_.sizeHint();

    const QFontMetrics metrics(link_.LinkFont());
    EXPECT_EQ(hint.width(), metrics.horizontalAdvance(kSiteName));
    EXPECT_EQ(hint.height(), metrics.height());
}

// A press at the centre of a 120 x 20 link and where its release lands, in the link's
// coordinates.
struct Click {
    const char* name;
    Qt::MouseButton button;
    bool released;
    QPoint releaseAt;
    int opens;
};

void PrintTo(const Click& click, std::ostream* out) {
    *out << click.name;
}

class HyperlinkClickTest : public HyperlinkTest, public testing::WithParamInterface<Click> {};

TEST_P(HyperlinkClickTest, OpensTheUrlOnlyForALeftReleaseOverTheLink) {
    const Click& click = GetParam();
    link_.setGeometry(0, 0, 120, 20);

    SendMouse(link_, QEvent::MouseButtonPress, click.button, link_.rect().center());
    if (click.released)
        SendMouse(link_, QEvent::MouseButtonRelease, click.button, click.releaseAt);

    EXPECT_EQ(shell_.opened, std::vector<std::string>(click.opens, "http://pictavo.varnel.net"));
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, HyperlinkClickTest,
    testing::Values(Click{"LeftClick", Qt::LeftButton, true, {60, 10}, 1},
                    Click{"ReleaseOnTheFirstPixel", Qt::LeftButton, true, {0, 0}, 1},
                    Click{"ReleaseOnTheLastPixel", Qt::LeftButton, true, {119, 19}, 1},
                    Click{"PressAlone", Qt::LeftButton, false, {}, 0},
                    Click{"ReleaseRightOfTheLink", Qt::LeftButton, true, {120, 10}, 0},
                    Click{"ReleaseBelowTheLink", Qt::LeftButton, true, {60, 20}, 0},
                    Click{"ReleaseAboveAndLeft", Qt::LeftButton, true, {-10, -5}, 0},
                    Click{"RightClick", Qt::RightButton, true, {60, 10}, 0},
                    Click{"MiddleClick", Qt::MiddleButton, true, {60, 10}, 0}),
    [](const testing::TestParamInfo<Click>& info) { return std::string(info.param.name); });

TEST_F(HyperlinkTest, EveryClickOpensTheUrlAgainWhateverTheShellAnswered) {
    shell_.succeeds = false;
    link_.setGeometry(0, 0, 120, 20);

    for (int i = 0; i < 2; ++i) {
        SendMouse(link_, QEvent::MouseButtonPress, Qt::LeftButton, {5, 5});
        SendMouse(link_, QEvent::MouseButtonRelease, Qt::LeftButton, {5, 5});
    }

    EXPECT_EQ(shell_.opened, std::vector<std::string>(2, "http://pictavo.varnel.net"));
}

// What the link draws over a white window.
class HyperlinkPaintTest : public testing::Test {
protected:
    HyperlinkPaintTest() {
        window_.setAutoFillBackground(true);
        QPalette palette = window_.palette();
        palette.setColor(QPalette::Window, kWhite);
        window_.setPalette(palette);
        window_.resize(300, 60);
        link_.setText(kSiteName);
        link_.setGeometry(0, 0, 300, 60);
    }

    QImage Render() {
        window_.show();
        return window_.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    // The box around every pixel that is not the window's white, empty when there is none.
    static QRect InkBox(const QImage& image) {
        QRect box;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) != kWhite)
                    box |= QRect(x, y, 1, 1);
            }
        }
        return box;
    }

    QWidget window_;
    CHyperlink link_{&window_};
};

bool IsShadeOfBlue(const QColor& colour) {
    // Anti-aliased edges mix the blue with the white behind: red and green fall together.
    return std::abs(colour.red() - colour.green()) <= 2 && colour.blue() == 255;
}

bool IsNearPureBlue(const QColor& colour) {
    return colour.blue() >= 240 && colour.red() <= 40 && colour.green() <= 40;
}

TEST_F(HyperlinkPaintTest, DrawsOnlyBlueOverATransparentBackground) {
    const QImage image = Render();

    int nearPureBlue = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            ASSERT_TRUE(colour == kWhite || IsShadeOfBlue(colour))
                << "pixel " << x << "," << y << " is " << colour.name().toStdString();
            nearPureBlue += IsNearPureBlue(colour) ? 1 : 0;
        }
    }
    EXPECT_GE(nearPureBlue, 20) << "the underline at least is solid blue";
}

TEST_F(HyperlinkPaintTest, UnderlinesTheWholeText) {
    const QImage image = Render();
    const QRect ink = InkBox(image);
    ASSERT_FALSE(ink.isEmpty());

    int longestRun = 0;
    for (int y = ink.top(); y <= ink.bottom(); ++y) {
        int run = 0;
        for (int x = ink.left(); x <= ink.right(); ++x) {
            run = IsNearPureBlue(image.pixelColor(x, y)) ? run + 1 : 0;
            longestRun = std::max(longestRun, run);
        }
    }
    EXPECT_GE(longestRun, ink.width() * 9 / 10);
}

TEST_F(HyperlinkPaintTest, DrawsTheSameWhateverFontAndColourTheLabelWasGiven) {
    const QImage plain = Render();

    QFont labelFont("Nimbus Roman", 30, QFont::Black, true);
    labelFont.setStrikeOut(true);
    labelFont.setOverline(true);
    labelFont.setCapitalization(QFont::AllUppercase);
    labelFont.setLetterSpacing(QFont::PercentageSpacing, 150);
    labelFont.setStretch(QFont::Condensed);
    link_.setFont(labelFont);
    QPalette palette = link_.palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    link_.setPalette(palette);
    link_.setStyleSheet("color: green");

    EXPECT_EQ(Render(), plain);
}

TEST_F(HyperlinkPaintTest, DrawsFromTheTopLeftCorner) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows' fonts reach the last row of the line's height";
#endif
    const QImage image = Render();
    const QRect ink = InkBox(image);

    const QFontMetrics metrics(link_.LinkFont());
    EXPECT_LE(ink.left(), 2);
    EXPECT_LE(ink.top(), metrics.ascent() - metrics.capHeight() + 1);
    EXPECT_LT(ink.bottom(), metrics.height());
}

TEST_F(HyperlinkPaintTest, KeepsALongTextOnOneLine) {
    link_.setText("one two three four five six");
    link_.setGeometry(0, 0, 60, 60);

    const QRect ink = InkBox(Render());

    ASSERT_FALSE(ink.isEmpty());
    EXPECT_LT(ink.bottom(), QFontMetrics(link_.LinkFont()).height()) << "no word break";
    EXPECT_LT(ink.right(), 60) << "and nothing beyond the control";
}

TEST_F(HyperlinkPaintTest, DrawsNothingWithoutText) {
    link_.setText("");

    EXPECT_TRUE(InkBox(Render()).isEmpty());
}

} // namespace
