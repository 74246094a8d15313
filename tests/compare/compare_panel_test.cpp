// The compare panel offscreen: what each layout draws, one zoom and pan for both sides, the
// swipe's line dragged, sizes brought together with a note, and levels of one texture.
#include "compare/compare_panel.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolButton>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

using pictavo::CompareSide;
using pictavo::RgbaImage;

RgbaImage Solid(std::uint32_t side, QRgb colour) {
    RgbaImage image{side, side, {}};
    for (std::uint32_t i = 0; i < side * side; ++i) {
        image.pixels.insert(image.pixels.end(),
                            {std::uint8_t(qRed(colour)), std::uint8_t(qGreen(colour)),
                             std::uint8_t(qBlue(colour)), 255});
    }
    return image;
}

CompareSide PictureSide(const std::string& name, RgbaImage picture) {
    CompareSide side;
    side.name = name;
    side.picture = std::move(picture);
    return side;
}

class ComparePanelTest : public testing::Test {
protected:
    ComparePanelTest()
        : panel_([this](const std::string& text) { lines_.push_back(text); },
                 [this] { ++closed_; }) {
        panel_.resize(600, 400);
        panel_.show();
    }

    QRgb At(int x, int y) { return panel_.View().grab().toImage().pixel(x, y); }
    void Trigger(const QString& text) {
        for (QToolButton* button : panel_.findChildren<QToolButton*>()) {
            if (button->defaultAction()->text() == text) {
                button->defaultAction()->trigger();
                return;
            }
        }
        ADD_FAILURE() << "no button " << text.toStdString();
    }
    void Send(QEvent& event) { QApplication::sendEvent(&panel_.View(), &event); }

    ComparePanel panel_;
    std::vector<std::string> lines_;
    int closed_ = 0;
};

constexpr QRgb kFirst = qRgb(200, 100, 50);
constexpr QRgb kSecond = qRgb(180, 100, 60);

TEST_F(ComparePanelTest, DifferentSizesMeetAtTheSmallerWithANote) {
    panel_.Compare(PictureSide("big.png", Solid(64, kFirst)), 0,
                   PictureSide("small.png", Solid(32, kSecond)), 0, 0);
    ASSERT_EQ(lines_.size(), 1u);
    EXPECT_EQ(lines_.back().substr(0, 23), "big.png against small.p");
    EXPECT_NE(lines_.back().find("largest difference R 20 G 0 B 10 A 0"), std::string::npos)
        << lines_.back();
    EXPECT_NE(lines_.back().find("; compared at 32 x 32; big.png scaled from 64 x 64"),
              std::string::npos)
        << lines_.back();
    EXPECT_EQ(CommonSizeOf("a", 64, 16, "b", 32, 32).note,
              "compared at 32 x 16; a scaled from 64 x 16; b scaled from 32 x 32");
    EXPECT_EQ(CommonSizeOf("a", 8, 8, "b", 8, 8).note, "");
}

TEST_F(ComparePanelTest, SideBySideSharesOneZoomAndPan) {
    panel_.Compare(PictureSide("a", Solid(32, kFirst)), 0, PictureSide("b", Solid(32, kSecond)), 0,
                   0);
    const CompareView& view = panel_.View();
    const int pane = view.width() / 2;
    const int middle = view.height() / 2;
    EXPECT_EQ(At(pane / 2, middle), kFirst);
    EXPECT_EQ(At(pane + pane / 2, middle), kSecond);

    // Zoomed in the right pane, both fill their panes alike.
    QWheelEvent wheel(QPointF(pane + 40, middle), QPointF(), QPoint(), QPoint(0, 4 * 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    const double before = view.Viewport().PixelsPerTexel();
    Send(wheel);
    EXPECT_DOUBLE_EQ(view.Viewport().PixelsPerTexel(), before * 4);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(100, 100), QPointF(), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent drag(QEvent::MouseMove, QPointF(130, 90), QPointF(), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    const DeviceRect placed = view.Viewport().ImageRect();
    Send(press);
    Send(drag);
    EXPECT_DOUBLE_EQ(view.Viewport().ImageRect().left - placed.left, 30 * view.devicePixelRatioF());
    const QImage frame = panel_.View().grab().toImage();
    for (int y = 40; y < frame.height(); y += 37) { // below the names
        for (int x = 1; x < pane - 1; x += 23) {
            // Either side's picture, or the background, at the same place in both panes.
            EXPECT_EQ(frame.pixel(x, y) == kFirst, frame.pixel(pane + x, y) == kSecond)
                << x << ", " << y;
        }
    }
}

TEST_F(ComparePanelTest, TheSwipeShowsOneSideEachSideOfItsLine) {
    panel_.Compare(PictureSide("a", Solid(32, kFirst)), 0, PictureSide("b", Solid(32, kSecond)), 0,
                   0);
    Trigger("Swipe");
    CompareView& view = panel_.View();
    EXPECT_EQ(view.CurrentLayout(), CompareView::Layout::kSwipe);
    const DeviceRect rect = view.Viewport().ImageRect();
    const double ratio = view.devicePixelRatioF();
    const int left = int(rect.left / ratio);
    const int width = int((rect.right - rect.left) / ratio);
    const int middle = view.height() / 2;
    view.SetSwipe(0.25);
    EXPECT_EQ(At(left + width / 8, middle), kFirst);
    EXPECT_EQ(At(left + width / 2, middle), kSecond);

    // The line dragged to three quarters.
    const double lineX = left + width * 0.25;
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(lineX + 2, middle), QPointF(),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent drag(QEvent::MouseMove, QPointF(left + width * 0.75, middle), QPointF(),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    Send(press);
    Send(drag);
    EXPECT_NEAR(view.Swipe(), 0.75, 0.02);
    EXPECT_EQ(At(left + width / 2, middle), kFirst);
    EXPECT_EQ(view.Viewport().ImageRect().left, rect.left) << "dragging the line does not pan";
}

TEST_F(ComparePanelTest, TheDifferenceIsAmplifiedAndCloseSaysSo) {
    panel_.Compare(PictureSide("a", Solid(32, kFirst)), 0, PictureSide("b", Solid(32, kSecond)), 0,
                   0);
    Trigger("Difference");
    const int x = panel_.View().width() / 2;
    const int y = panel_.View().height() / 2;
    EXPECT_EQ(At(x, y), qRgb(20 * ComparePanel::kDefaultGain, 0, 10 * ComparePanel::kDefaultGain));
    auto* gain = panel_.findChildren<QComboBox*>().at(0);
    gain->setCurrentIndex(gain->findData(1));
    EXPECT_EQ(At(x, y), qRgb(20, 0, 10));
    Trigger("Close");
    EXPECT_EQ(closed_, 1);
}

TEST_F(ComparePanelTest, LevelsOfOneTextureEachChosen) {
    // A texture of three levels, each a solid grey of its own.
    auto texture = std::make_shared<pictavo::Texture>();
    texture->info.format = pictavo::kFormatBgra8;
    texture->info.width = texture->info.height = 4;
    texture->info.levels = 3;
    for (const std::uint8_t grey : {30, 90, 200}) {
        const std::uint32_t side = 4u >> texture->images.size();
        texture->images.emplace_back(std::size_t(side) * side * 4, grey);
    }
    CompareSide side;
    side.name = "rock.iwi";
    side.texture = texture;
    panel_.Compare(side, 0, side, 1, 0);
    EXPECT_NE(lines_.back().find("rock.iwi level 0 against rock.iwi level 1: PSNR"),
              std::string::npos)
        << lines_.back();
    EXPECT_NE(lines_.back().find("compared at 2 x 2; rock.iwi level 0 scaled from 4 x 4"),
              std::string::npos);
    EXPECT_NE(lines_.back().find("largest difference R 60 G 60 B 60 A 60"), std::string::npos)
        << lines_.back();
    auto* second = panel_.findChildren<QComboBox*>().at(2);
    ASSERT_EQ(second->count(), 3);
    EXPECT_EQ(second->itemText(2), "2: 1 x 1");
    second->setCurrentIndex(2);
    EXPECT_NE(lines_.back().find("against rock.iwi level 2"), std::string::npos) << lines_.back();
    EXPECT_NE(lines_.back().find("largest difference R 170 G 170 B 170 A 170"), std::string::npos)
        << lines_.back();
}

TEST_F(ComparePanelTest, LevelChoicesShowTheirLongestEntryWhole) {
    auto texture = std::make_shared<pictavo::Texture>();
    texture->info.format = pictavo::kFormatBgra8;
    texture->info.width = texture->info.height = 512;
    texture->info.levels = 10;
    for (std::uint32_t level = 0; level < texture->info.levels; ++level) {
        const std::uint32_t side = 512u >> level;
        texture->images.emplace_back(std::size_t(side) * side * 4, std::uint8_t(level * 20));
    }
    CompareSide side;
    side.name = "wall.iwi";
    side.texture = texture;
    panel_.Compare(side, 0, side, 1, 0);
    QApplication::processEvents(); // the bar's layout follows the new entries
    int checked = 0;
    for (QComboBox* levels : panel_.findChildren<QComboBox*>()) {
        if (!levels->toolTip().startsWith("Level"))
            continue;
        ++checked;
        int longest = 0;
        for (int i = 0; i < levels->count(); ++i)
            longest =
                std::max(longest, levels->fontMetrics().horizontalAdvance(levels->itemText(i)));
        QStyleOptionComboBox option;
        option.initFrom(levels);
        const QSize needed = levels->style()->sizeFromContents(
            QStyle::CT_ComboBox, &option, QSize(longest, levels->fontMetrics().height()), levels);
        EXPECT_GE(levels->width(), needed.width()) << levels->itemText(0).toStdString();
    }
    EXPECT_EQ(checked, 2);
}

TEST_F(ComparePanelTest, WithoutASecondImageItSaysWhatToDo) {
    panel_.Compare(PictureSide("a.png", Solid(8, kFirst)), 0, CompareSide{}, 0, 0);
    EXPECT_EQ(lines_.back(),
              "Comparing a.png: choose the other image in the list, a file or a level");
}

} // namespace
