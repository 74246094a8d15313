#include "platform/color_button.h"
#include "platform/color_palette.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <ostream>
#include <set>
#include <vector>

namespace {

using pictavo::ColorPalette;

// Not in the palette, so that every swatch is a change.
constexpr std::uint32_t kOffPalette = 0x00123456;

QString Describe(const QColor& color) {
    return color.name(QColor::HexArgb);
}

struct ColorRefCase {
    std::uint32_t colorref;
    int red, green, blue;
};

void PrintTo(const ColorRefCase& c, std::ostream* out) {
    *out << std::hex << "0x" << c.colorref;
}

class ColorRefTest : public testing::TestWithParam<ColorRefCase> {};

TEST_P(ColorRefTest, KeepsRedInTheLowByte) {
    const ColorRefCase& c = GetParam();
    const QColor color = pictavo::ColorFromColorRef(c.colorref);
    EXPECT_EQ(Describe(color), Describe(QColor(c.red, c.green, c.blue)));
    EXPECT_EQ(pictavo::ColorRefFromColor(QColor(c.red, c.green, c.blue)), c.colorref);
    EXPECT_EQ(pictavo::ColorRefFromColor(color), c.colorref);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ColorRefTest,
    testing::Values(ColorRefCase{0x000000FF, 255, 0, 0}, ColorRefCase{0x0000FF00, 0, 255, 0},
                    ColorRefCase{0x00FF0000, 0, 0, 255}, ColorRefCase{0x00A4A0A0, 0xA0, 0xA0, 0xA4},
                    ColorRefCase{0x00123456, 0x56, 0x34, 0x12}, ColorRefCase{0x00000000, 0, 0, 0},
                    ColorRefCase{0x00FFFFFF, 255, 255, 255}));

TEST(ColorRefTest, IgnoresTheHighByteOnInput) {
    EXPECT_EQ(Describe(pictavo::ColorFromColorRef(0xFF0000FF)), Describe(QColor(255, 0, 0)));
}

TEST(ColorRefTest, DropsAlphaAndReadsOtherColourModels) {
    EXPECT_EQ(pictavo::ColorRefFromColor(QColor(1, 2, 3, 4)), 0x00030201u);
    EXPECT_EQ(pictavo::ColorRefFromColor(QColor::fromHsv(0, 255, 255)), 0x000000FFu);
    EXPECT_EQ(pictavo::ColorRefFromColor(QColor::fromCmyk(0, 0, 255, 0)), 0x0000FFFFu);
}

class ColorButtonSetTest : public testing::TestWithParam<std::uint32_t> {};

TEST_P(ColorButtonSetTest, GivesBackTheColourWithoutHighByteAndEmitsNothing) {
    ColorButton button;
    QSignalSpy changed(&button, &ColorButton::colorChanged);
    button.SetColor(GetParam());
    EXPECT_EQ(button.GetColor(), GetParam() & 0x00FFFFFFu);
    EXPECT_EQ(changed.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Values, ColorButtonSetTest,
                         testing::Values(0x00A4A0A0u, 0x00FF0000u, 0x000000FFu, 0xFF123456u,
                                         0x80FFFFFFu, 0u));

TEST(ColorPaletteTest, HoldsDistinctColoursWithTheDefaultsBlackAndWhite) {
    const std::vector<std::uint32_t>& colors = ColorPalette::Colors();
    EXPECT_EQ(colors.size() % ColorPalette::kColumns, 0u);
    EXPECT_EQ(std::set<std::uint32_t>(colors.begin(), colors.end()).size(), colors.size());
    for (std::uint32_t wanted : {0x00A4A0A0u, 0x00FF0000u, 0x00000000u, 0x00FFFFFFu})
        EXPECT_NE(std::find(colors.begin(), colors.end(), wanted), colors.end()) << wanted;
    for (std::uint32_t color : colors)
        EXPECT_EQ(color & 0xFF000000u, 0u) << color;
}

TEST(ColorPaletteTest, LaysSwatchesOutInFiveColumnsAboveOther) {
    ColorPalette palette(kOffPalette);
    const int count = int(ColorPalette::Colors().size());
    std::set<int> lefts;
    for (int index = 0; index < count; ++index) {
        const QRect swatch = palette.SwatchRect(index);
        lefts.insert(swatch.left());
        EXPECT_TRUE(palette.rect().contains(swatch)) << index;
        const QRect rowStart = palette.SwatchRect(index - index % 5);
        EXPECT_EQ(swatch.top(), rowStart.top()) << index;
        if (index % 5 != 0) {
            EXPECT_GT(swatch.left(), palette.SwatchRect(index - 1).right()) << index;
        }
        if (index >= 5) {
            EXPECT_EQ(swatch.left(), palette.SwatchRect(index - 5).left()) << index;
            EXPECT_GT(swatch.top(), palette.SwatchRect(index - 5).bottom()) << index;
        }
    }
    EXPECT_EQ(lefts.size(), 5u);
    const QRect other = palette.OtherRect();
    EXPECT_TRUE(palette.rect().contains(other));
    EXPECT_GT(other.top(), palette.SwatchRect(count - 1).bottom());
    EXPECT_EQ(palette.OtherIndex(), count);
}

TEST(ColorPaletteTest, PaintsEachSwatchInItsColour) {
    ColorPalette palette(kOffPalette);
    const QImage image = palette.grab().toImage();
    const double scale = image.devicePixelRatio();
    for (int index = 0; index < palette.OtherIndex(); ++index) {
        const QPoint centre = palette.SwatchRect(index).center() * scale;
        EXPECT_EQ(pictavo::ColorRefFromColor(image.pixelColor(centre)),
                  ColorPalette::Colors()[std::size_t(index)])
            << index;
    }
}

struct MarkCase {
    std::uint32_t current;
    int marked;
};

void PrintTo(const MarkCase& c, std::ostream* out) {
    *out << std::hex << "0x" << c.current;
}

class ColorPaletteMarkTest : public testing::TestWithParam<MarkCase> {};

TEST_P(ColorPaletteMarkTest, MarksAndHighlightsTheCurrentColour) {
    ColorPalette palette(GetParam().current);
    EXPECT_EQ(palette.MarkedIndex(), GetParam().marked);
    EXPECT_EQ(palette.HighlightedIndex(), std::max(GetParam().marked, 0));
}

int IndexOf(std::uint32_t color) {
    const auto& colors = ColorPalette::Colors();
    return int(std::find(colors.begin(), colors.end(), color) - colors.begin());
}

INSTANTIATE_TEST_SUITE_P(Colours, ColorPaletteMarkTest,
                         testing::Values(MarkCase{0x00FF0000, IndexOf(0x00FF0000)},
                                         MarkCase{0x00A4A0A0, IndexOf(0x00A4A0A0)},
                                         MarkCase{0xFFFFFFFF, IndexOf(0x00FFFFFF)},
                                         MarkCase{kOffPalette, -1}));

TEST(ColorPaletteTest, PickOutsideTheGridDoesNothing) {
    ColorPalette palette(kOffPalette);
    QSignalSpy picked(&palette, &ColorPalette::picked);
    QSignalSpy other(&palette, &ColorPalette::otherRequested);
    palette.Pick(-1);
    palette.Pick(palette.OtherIndex());
    EXPECT_EQ(picked.count(), 0);
    EXPECT_EQ(other.count(), 0);
}

// A button whose "Other..." answers from a script and records what it was asked.
struct ScriptedButton {
    explicit ScriptedButton(std::uint32_t start, std::optional<QColor> answer = std::nullopt) {
        button.SetColor(start);
        button.chooseOther = [this, answer](QWidget* owner, const QColor& initial) {
            asked.push_back({owner, initial});
            return answer;
        };
    }
    ColorPalette& Open() {
        button.click();
        ColorPalette* palette = button.OpenPalette();
        EXPECT_NE(palette, nullptr);
        return *palette;
    }

    struct Question {
        QWidget* owner;
        QColor initial;
    };
    ColorButton button;
    std::vector<Question> asked;
};

class ColorButtonSwatchClickTest : public testing::TestWithParam<int> {};

TEST_P(ColorButtonSwatchClickTest, SetsTheColourClosesAndEmitsOnce) {
    ScriptedButton scripted(kOffPalette);
    QSignalSpy changed(&scripted.button, &ColorButton::colorChanged);
    ColorPalette& palette = scripted.Open();
    QTest::mouseClick(&palette, Qt::LeftButton, {}, palette.SwatchRect(GetParam()).center());
    const std::uint32_t expected = ColorPalette::Colors()[std::size_t(GetParam())];
    EXPECT_EQ(scripted.button.GetColor(), expected);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).value<std::uint32_t>(), expected);
    EXPECT_EQ(scripted.button.OpenPalette(), nullptr);
    EXPECT_TRUE(scripted.asked.empty());
}

INSTANTIATE_TEST_SUITE_P(Swatches, ColorButtonSwatchClickTest,
                         testing::Range(0, int(ColorPalette::Colors().size())));

TEST(ColorButtonTest, PickingTheShownColourClosesWithoutSignal) {
    ScriptedButton scripted(0x00FF0000);
    QSignalSpy changed(&scripted.button, &ColorButton::colorChanged);
    ColorPalette& palette = scripted.Open();
    palette.Pick(palette.MarkedIndex());
    EXPECT_EQ(scripted.button.GetColor(), 0x00FF0000u);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(scripted.button.OpenPalette(), nullptr);
}

TEST(ColorButtonTest, OtherTakesTheAnsweredColour) {
    ScriptedButton scripted(0x00A4A0A0, QColor(0x12, 0x34, 0x56, 0x78));
    QSignalSpy changed(&scripted.button, &ColorButton::colorChanged);
    ColorPalette& palette = scripted.Open();
    QTest::mouseClick(&palette, Qt::LeftButton, {}, palette.OtherRect().center());
    ASSERT_EQ(scripted.asked.size(), 1u);
    EXPECT_EQ(scripted.asked[0].owner, &scripted.button);
    EXPECT_EQ(Describe(scripted.asked[0].initial), Describe(QColor(0xA0, 0xA0, 0xA4)));
    EXPECT_EQ(scripted.button.GetColor(), 0x00563412u);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).value<std::uint32_t>(), 0x00563412u);
    EXPECT_EQ(scripted.button.OpenPalette(), nullptr);
}

TEST(ColorButtonTest, OtherCancelledLeavesTheColour) {
    ScriptedButton scripted(0x00A4A0A0);
    QSignalSpy changed(&scripted.button, &ColorButton::colorChanged);
    ColorPalette& palette = scripted.Open();
    QTest::mouseClick(&palette, Qt::LeftButton, {}, palette.OtherRect().center());
    EXPECT_EQ(scripted.asked.size(), 1u);
    EXPECT_EQ(scripted.button.GetColor(), 0x00A4A0A0u);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(scripted.button.OpenPalette(), nullptr);
}

TEST(ColorButtonTest, OtherWithoutChooserOnlyCloses) {
    ColorButton button;
    button.SetColor(0x00A4A0A0);
    button.chooseOther = nullptr;
    button.click();
    ColorPalette* palette = button.OpenPalette();
    ASSERT_NE(palette, nullptr);
    QTest::mouseClick(palette, Qt::LeftButton, {}, palette->OtherRect().center());
    EXPECT_EQ(button.GetColor(), 0x00A4A0A0u);
    EXPECT_EQ(button.OpenPalette(), nullptr);
}

TEST(ColorButtonTest, EscapeClosesWithoutChange) {
    ScriptedButton scripted(0x00A4A0A0, QColor(Qt::red));
    QSignalSpy changed(&scripted.button, &ColorButton::colorChanged);
    ColorPalette& palette = scripted.Open();
    QTest::keyClick(&palette, Qt::Key_Right);
    QTest::keyClick(&palette, Qt::Key_Escape);
    EXPECT_EQ(scripted.button.OpenPalette(), nullptr);
    EXPECT_EQ(scripted.button.GetColor(), 0x00A4A0A0u);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_TRUE(scripted.asked.empty());
}

TEST(ColorButtonTest, ReleaseOffThePressedSwatchChoosesNothing) {
    ScriptedButton scripted(kOffPalette);
    ColorPalette& palette = scripted.Open();
    QTest::mousePress(&palette, Qt::LeftButton, {}, palette.SwatchRect(0).center());
    QTest::mouseRelease(&palette, Qt::LeftButton, {}, palette.SwatchRect(1).center());
    EXPECT_EQ(scripted.button.GetColor(), kOffPalette);
    EXPECT_EQ(scripted.button.OpenPalette(), &palette);
}

TEST(ColorButtonTest, DropsThePaletteDownBelowTheButton) {
    QWidget window;
    window.setGeometry(100, 100, 200, 100);
    ColorButton button(&window);
    button.setGeometry(10, 10, 74, 23);
    window.show();
    button.click();
    ColorPalette* palette = button.OpenPalette();
    ASSERT_NE(palette, nullptr);
    EXPECT_TRUE(palette->isVisible());
    EXPECT_EQ(palette->geometry().topLeft(), button.mapToGlobal(QPoint(0, button.height())));
    button.click(); // already open: still the one palette
    EXPECT_EQ(button.OpenPalette(), palette);
}

constexpr int kOther = -2; // the "Other..." entry, whatever its index

struct KeyCase {
    std::uint32_t start;
    std::vector<Qt::Key> keys;
    int chosen; // index into Colors(), or kOther
};

void PrintTo(const KeyCase& c, std::ostream* out) {
    *out << std::hex << "from 0x" << c.start << std::dec << " " << c.keys.size() << " keys";
}

class ColorButtonKeyboardTest : public testing::TestWithParam<KeyCase> {};

TEST_P(ColorButtonKeyboardTest, ArrowsMoveAndEnterChooses) {
    const KeyCase& c = GetParam();
    ScriptedButton scripted(c.start, QColor(0x11, 0x22, 0x33));
    ColorPalette& palette = scripted.Open();
    for (Qt::Key key : c.keys)
        QTest::keyClick(&palette, key);
    EXPECT_EQ(scripted.button.OpenPalette(), nullptr);
    if (c.chosen == kOther) {
        EXPECT_EQ(scripted.asked.size(), 1u);
        EXPECT_EQ(scripted.button.GetColor(), 0x00332211u);
    } else {
        EXPECT_TRUE(scripted.asked.empty());
        EXPECT_EQ(scripted.button.GetColor(), ColorPalette::Colors()[std::size_t(c.chosen)]);
    }
}

const int kLastRowStart = int(ColorPalette::Colors().size()) - 5;

INSTANTIATE_TEST_SUITE_P(
    Keys, ColorButtonKeyboardTest,
    testing::Values(
        KeyCase{0x00000000, {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Return}, 7},
        KeyCase{0x00000000, {Qt::Key_Left, Qt::Key_Up, Qt::Key_Enter}, 0},
        KeyCase{kOffPalette, {Qt::Key_Down, Qt::Key_Space}, 5},
        KeyCase{0x00A4A0A0, {Qt::Key_Left, Qt::Key_Return}, IndexOf(0x00A4A0A0) - 1},
        KeyCase{0x00000000,
                {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return},
                kOther},
        KeyCase{0x00000000,
                {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up,
                 Qt::Key_Return},
                kLastRowStart},
        KeyCase{0x00808000, {Qt::Key_Right, Qt::Key_Right, Qt::Key_Return}, kOther}));

class ColorButtonFaceTest : public testing::TestWithParam<std::uint32_t> {};

TEST_P(ColorButtonFaceTest, ShowsTheColourInTheMiddle) {
    ColorButton button;
    button.resize(74, 23); // its size in the settings dialog
    button.SetColor(GetParam());
    const QImage face = button.grab().toImage();
    const QPoint centre = QPoint(button.width() / 2, button.height() / 2) * face.devicePixelRatio();
    EXPECT_EQ(pictavo::ColorRefFromColor(face.pixelColor(centre)), GetParam() & 0x00FFFFFFu);
}

INSTANTIATE_TEST_SUITE_P(Colours, ColorButtonFaceTest,
                         testing::Values(0x000000FFu, 0x00FF0000u, 0x00A4A0A0u, 0x00000000u,
                                         0x00FFFFFFu, 0xFF00FF00u));

struct DropDownCase {
    QRect anchor;
    QSize popup;
    QPoint expected;
};

void PrintTo(const DropDownCase& c, std::ostream* out) {
    *out << "anchor " << c.anchor.x() << "," << c.anchor.y() << " " << c.anchor.width() << "x"
         << c.anchor.height();
}

class DropDownPositionTest : public testing::TestWithParam<DropDownCase> {};

TEST_P(DropDownPositionTest, StaysOnScreen) {
    const QRect screen(0, 0, 800, 600);
    EXPECT_EQ(pictavo::DropDownPosition(GetParam().anchor, GetParam().popup, screen),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Places, DropDownPositionTest,
    testing::Values(DropDownCase{{100, 100, 74, 23}, {120, 150}, {100, 123}},  // below
                    DropDownCase{{100, 550, 74, 23}, {120, 150}, {100, 400}},  // above
                    DropDownCase{{100, 427, 74, 23}, {120, 150}, {100, 450}},  // just fits
                    DropDownCase{{100, 100, 74, 400}, {120, 150}, {100, 450}}, // neither
                    DropDownCase{{750, 100, 74, 23}, {120, 150}, {680, 123}},  // right edge
                    DropDownCase{{-30, 100, 74, 23}, {120, 150}, {0, 123}}));  // left edge

} // namespace
