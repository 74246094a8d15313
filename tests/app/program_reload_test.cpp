// The image shown is read again when its file changes on disk, once the file is whole, with
// the view left as the user set it; and the watch under it, without the program.
#include "program_fixture.h"
#include "watch/file_change_watch.h"

#include <QTest>

namespace pictavo::testing {
namespace {

using ViewMode = COpenGLControl::ViewMode;

constexpr int kWaitMs = 10000; // far beyond the second a reload takes

std::string StatusText() {
    return FindControl<QLabel>(*MainDialog(), CLumideskDlg::kStatusLine)->text().toStdString();
}

// The file's bytes with its level data changed and its size kept.
Bytes Repainted(Bytes bytes) {
    for (std::size_t at = 32; at < bytes.size(); ++at)
        bytes[at] = std::uint8_t(bytes[at] ^ 0x5A);
    return bytes;
}

class ProgramReloadTest : public ProgramTest {};

TEST_F(ProgramReloadTest, AChangedFileIsReadAgainOnceWholeKeepingTheView) {
    SeedMW2Game(images);
    const fs::path file = images / "Zebra.iwi";
    const Bytes original = ReadBytes(file);
    const std::vector<Bytes> kZebraLevels = IwiLevels({6, 13, 64, 64, 7});
    const Texture* before = nullptr;
    DeviceRect placed;
    const Channels red{true, false, false, false};
    script
        .Then(
            "the list", [] { return MainDialogRunning() && ImageList().count() > 0; },
            [&] {
                Select("Zebra.iwi");
                COpenGLControl& view = MainDialog()->View();
                view.SetViewMode(ViewMode::kFlat);
                view.SetLevel(1);
                view.SetChannels(red);
                view.ShowActualSize();
                view.ZoomBy(3);
                before = view.InspectedTexture();
                placed = view.Viewport().ImageRect();
                // Half written: the watch reads it, finds it short, and keeps the image.
                Bytes half = Repainted(original);
                half.resize(half.size() / 2);
                WriteBytes(file, half);
            })
        .Then(
            "a note that the half-written file does not read",
            [] { return StatusText().find("does not read") != std::string::npos; },
            [&] {
                EXPECT_EQ(StatusText().rfind("Zebra.iwi changed on disk and does not read: ", 0),
                          0u);
                EXPECT_EQ(MainDialog()->View().InspectedTexture(), before);
                WriteBytes(file, Repainted(original)); // now whole
            })
        .Then(
            "the new version shown",
            [&] { return MainDialog()->View().InspectedTexture() != before; },
            [&] {
                COpenGLControl& view = MainDialog()->View();
                EXPECT_EQ(StatusText(), "Reloaded Zebra.iwi, changed on disk");
                ASSERT_NE(view.InspectedTexture(), nullptr);
                EXPECT_NE(view.InspectedTexture()->Image(1), kZebraLevels[1]) << "repainted";
                EXPECT_EQ(view.Mode(), ViewMode::kFlat);
                EXPECT_EQ(view.Level(), 1);
                EXPECT_EQ(view.ShownChannels(), red);
                EXPECT_NEAR(view.Viewport().PixelsPerTexel(), 3, 1e-9);
                EXPECT_EQ(view.Viewport().ImageRect().left, placed.left);
                EXPECT_EQ(view.Viewport().ImageRect().top, placed.top);
                EXPECT_EQ(Label(CLumideskDlg::kFormat), "DTX5");
                before = view.InspectedTexture();
                // Saved as editors save: a new file renamed over the old one.
                const fs::path saved = images / "Zebra.iwi.saving";
                WriteBytes(saved, original);
                fs::rename(saved, file);
            })
        .Then(
            "the renamed version shown",
            [&] { return MainDialog()->View().InspectedTexture() != before; },
            [&] {
                EXPECT_EQ(MainDialog()->View().InspectedTexture()->Image(1), kZebraLevels[1]);
                EXPECT_EQ(MainDialog()->View().Level(), 1);

                // The version before, compared with the one shown; then another listed image.
                MainDialog()->Compare().WithPrevious();
                ASSERT_TRUE(MainDialog()->Compare().Comparing());
                EXPECT_EQ(StatusText().rfind(
                              "Zebra.iwi level 1 against Zebra.iwi (before) level 1: PSNR ", 0),
                          0u)
                    << StatusText();
                const Texture* shown = MainDialog()->View().InspectedTexture();
                Select("abcd.iwi");
                EXPECT_EQ(MainDialog()->View().InspectedTexture(), shown) << "the view stays";
                EXPECT_NE(StatusText().find(" against abcd.iwi: "), std::string::npos)
                    << StatusText();
                EXPECT_NE(StatusText().find("compared at 8 x 8"), std::string::npos);
                MainDialog()->Compare().Close();
                EXPECT_FALSE(MainDialog()->Compare().Comparing());
                QTest::keyClick(&ImageList(), Qt::Key_Escape);
            });
    Run();
}

TEST(FileChangeWatchTest, TellsOnceAChangeSettlesAndFollowsARename) {
    TempDir dir;
    const fs::path file = dir.path() / "sky.iwi";
    WriteBytes(file, Bytes(100, 1));
    int told = 0;
    FileChangeWatch watch([&told] { ++told; }, {20, 20});
    watch.Watch(file.string());
    EXPECT_EQ(watch.Path(), file.string());

    // Three writes in a row are one change.
    for (int i = 0; i < 3; ++i)
        WriteBytes(file, Bytes(200 + i, 2));
    QTRY_COMPARE_WITH_TIMEOUT(told, 1, kWaitMs);

    const fs::path saved = dir.path() / "sky.tmp";
    WriteBytes(saved, Bytes(300, 3));
    fs::rename(saved, file);
    QTRY_COMPARE_WITH_TIMEOUT(told, 2, kWaitMs);
    WriteBytes(file, Bytes(50, 4)); // the renamed file is watched in turn
    QTRY_COMPARE_WITH_TIMEOUT(told, 3, kWaitMs);

    // Another file of the folder is no change of this one; nor is a file no longer watched.
    WriteBytes(dir.path() / "other.iwi", Bytes(10, 5));
    watch.Watch("");
    WriteBytes(file, Bytes(60, 6));
    QTest::qWait(200);
    EXPECT_EQ(told, 3);
}

} // namespace
} // namespace pictavo::testing
