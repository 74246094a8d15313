// The view, the list and the labels telling the same story: after a failed load, after a
// comparison, and when Enter ends a filter.
#include "compare/compare_panel.h"
#include "program_fixture.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

namespace pictavo::testing {
namespace {

using ViewMode = COpenGLControl::ViewMode;

// Pixels of the last frame below the overlay's lines that are not the background colour.
int PixelsDrawnBelowOverlay() {
    const QImage frame = MainDialog()->View().grabFramebuffer();
    const std::uint32_t background = theSettings.color_background; // 0x00BBGGRR
    const QColor clear(int(background & 0xFF), int((background >> 8) & 0xFF),
                       int((background >> 16) & 0xFF));
    int drawn = 0;
    for (int y = frame.height() * 50 / 301; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            drawn += frame.pixelColor(x, y) != clear;
    return drawn;
}

class ProgramViewTest : public ProgramTest {
protected:
    // Waits for a few frames drawn from now, then checks the view.
    void AfterFrames(const std::string& what, std::function<void()> check) {
        auto from = std::make_shared<std::int64_t>(0);
        script.Then(
            "frames before " + what, [] { return true; }, [from] { *from = FramesDrawn(); });
        script.Then(
            what, [from] { return FramesDrawn() > *from + 2; }, std::move(check));
    }
};

TEST_F(ProgramViewTest, AFailedLoadLeavesNothingShownInEveryModeAndEmptyLabels) {
    SeedMW2Game(images);
    WriteBytes(images / "ui_bg.iwi", {0x89, 'P', 'N', 'G', 13, 10, 26, 10});
    script.Then(
        "the game's list", [] { return MainDialogRunning(); }, [] { Select("crate.iwi"); });
    AfterFrames("the good file on the plane", [this] {
        EXPECT_GT(PixelsDrawnBelowOverlay(), 1000);
        Select("ui_bg.iwi");
        ASSERT_EQ(boxes.shown.size(), 1u);
        // The box's first line as it always was, and the library's reason under it.
        EXPECT_EQ(boxes.shown[0].text,
                  "IWI::LoadFile: Unknown Error_?\nNot an IWI or DDS file: ui_bg.iwi");
        EXPECT_EQ(boxes.shown[0].caption, "Varnel IWI Load Wrapper");
        EXPECT_EQ(Label(CLumideskDlg::kDimensions), "0 x 0");
        EXPECT_EQ(Label(CLumideskDlg::kDataSize), "0x0");
        EXPECT_EQ(Label(CLumideskDlg::kFormat), "-");
        EXPECT_FALSE(FindControl<QPushButton>(*MainDialog(), CLumideskDlg::kExport)->isEnabled())
            << "nothing to export";
    });
    for (const ViewMode mode : {ViewMode::kPlane, ViewMode::kCube, ViewMode::kFlat}) {
        script.Then(
            "mode " + std::to_string(int(mode)), [] { return true; },
            [mode] { MainDialog()->View().SetViewMode(mode); });
        AfterFrames("nothing drawn in mode " + std::to_string(int(mode)),
                    [] { EXPECT_EQ(PixelsDrawnBelowOverlay(), 0); });
    }
    script.Then(
        "a good file again", [] { return true; },
        [] {
            MainDialog()->View().SetViewMode(ViewMode::kPlane);
            Select("crate.iwi");
            EXPECT_EQ(Label(CLumideskDlg::kDimensions), "128 x 256");
            EXPECT_TRUE(
                FindControl<QPushButton>(*MainDialog(), CLumideskDlg::kExport)->isEnabled());
        });
    AfterFrames("it is drawn", [] {
        EXPECT_GT(PixelsDrawnBelowOverlay(), 1000);
        MainDialog()->close();
    });
    Run();
}

TEST_F(ProgramViewTest, ClosingACompareShowsWhatTheListHighlights) {
    SeedMW2Game(images);
    script.Then(
        "the game's list", [] { return MainDialogRunning(); },
        [] {
            Select("crate.iwi");
            MainDialog()->Compare().WithSelection(); // Ctrl+K
            ASSERT_TRUE(MainDialog()->Compare().Comparing());
            Select("abcd.iwi");
            EXPECT_EQ(Label(CLumideskDlg::kDimensions), "128 x 256") << "the view stays";
            QTest::keyClick(&MainDialog()->Compare().Panel().View(), Qt::Key_Escape);
            ASSERT_FALSE(MainDialog()->Compare().Comparing());
            EXPECT_EQ(ImageList().currentItem()->text(), "abcd.iwi");
            const pictavo::ImageLocation* shown = MainDialog()->View().Loader().ShownLocation();
            ASSERT_NE(shown, nullptr);
            EXPECT_EQ(shown->name, "abcd.iwi");
            EXPECT_EQ(Label(CLumideskDlg::kDimensions), "8 x 8");
            EXPECT_TRUE(MainDialog()->isVisible()) << "Escape ended the comparison alone";
            MainDialog()->close();
        });
    Run();
}

TEST_F(ProgramViewTest, EnterInTheFilterGoesToTheListAndShowsTheFirstMatch) {
    SeedMW2Game(images);
    script
        .Then(
            "the game's list", [] { return MainDialogRunning(); },
            [] {
                Filter().setFocus();
                QTest::keyClicks(&Filter(), "cra");
                QTest::keyClick(&Filter(), Qt::Key_Return);
                EXPECT_TRUE(MainDialog()->isVisible());
                EXPECT_EQ(MainDialog()->focusWidget(), &ImageList());
                ASSERT_NE(ImageList().currentItem(), nullptr);
                EXPECT_EQ(ImageList().currentItem()->text(), "crate.iwi");
                EXPECT_EQ(Label(CLumideskDlg::kDimensions), "128 x 256");
                Filter().setFocus();
                QTest::keyClick(&Filter(), Qt::Key_Enter);
                EXPECT_TRUE(MainDialog()->isVisible());
                EXPECT_EQ(ImageList().currentItem()->text(), "crate.iwi") << "kept";
            })
        .Then(
            "Enter in the list still ends the program", [] { return true; },
            [] { QTest::keyClick(&ImageList(), Qt::Key_Return); });
    Run();
}

TEST_F(ProgramViewTest, ChoosingALevelKeepsTheMode) {
    SeedMW2Game(images);
    script.Then(
        "the game's list", [] { return MainDialogRunning(); },
        [] {
            Select("Zebra.iwi"); // seven levels
            COpenGLControl& view = MainDialog()->View();
            QComboBox* levels = nullptr;
            for (QComboBox* box : MainDialog()->findChildren<QComboBox*>())
                if (box->toolTip() == "Mip level")
                    levels = box;
            ASSERT_NE(levels, nullptr);
            for (const ViewMode mode : {ViewMode::kPlane, ViewMode::kCube}) {
                view.SetViewMode(mode);
                levels->setCurrentIndex(levels->currentIndex() + 1);
                EXPECT_EQ(view.Mode(), mode);
            }
            EXPECT_EQ(view.Level(), 2);
            MainDialog()->close();
        });
    Run();
}

} // namespace
} // namespace pictavo::testing
