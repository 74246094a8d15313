#include "platform/app_icon.h"
#include "platform/beeper.h"
#include "platform/current_directory.h"
#include "platform/folder_browser.h"
#include "platform/message_box.h"
#include "platform/shell_opener.h"
#include "platform/testing/recording_beeper.h"
#include "platform/testing/recording_message_box.h"

#include <QDir>
#include <QImage>
#include <QUrl>
#include <QWidget>
#include <filesystem>
#include <gtest/gtest.h>

using pictavo::ScopedReplacement;

namespace {

TEST(ServiceReplacementTest, ScopedDoublesStackAndRestore) {
    MessageBoxService& builtIn = MessageBoxService::Current();
    EXPECT_EQ(&builtIn, &MessageBoxService::Default());
    RecordingMessageBox outer;
    RecordingMessageBox inner;
    {
        ScopedReplacement<MessageBoxService> useOuter(outer);
        EXPECT_EQ(&MessageBoxService::Current(), &outer);
        {
            ScopedReplacement<MessageBoxService> useInner(inner);
            EXPECT_EQ(&MessageBoxService::Current(), &inner);
        }
        EXPECT_EQ(&MessageBoxService::Current(), &outer);
    }
    EXPECT_EQ(&MessageBoxService::Current(), &builtIn);
}

TEST(ServiceReplacementTest, EachServiceHasItsOwnSlot) {
    RecordingBeeper beeper;
    ScopedReplacement<Beeper> useBeeper(beeper);
    EXPECT_EQ(&Beeper::Current(), &beeper);
    EXPECT_EQ(&MessageBoxService::Current(), &MessageBoxService::Default());
    EXPECT_EQ(&ShellOpener::Current(), &ShellOpener::Default());
    EXPECT_EQ(&FolderBrowser::Current(), &FolderBrowser::Default());
}

struct BoxCase {
    const char* caption;
    const char* text;
    MessageIcon icon;
    bool owned;
};

class ShowMessageBoxTest : public testing::TestWithParam<BoxCase> {};

TEST_P(ShowMessageBoxTest, HandsEverythingToTheCurrentService) {
    RecordingMessageBox recorder;
    ScopedReplacement<MessageBoxService> useRecorder(recorder);
    QWidget owner;
    const BoxCase& c = GetParam();
    if (c.owned)
        ShowMessageBox(c.caption, c.text, c.icon, &owner);
    else
        ShowMessageBox(c.caption, c.text, c.icon);
    ASSERT_EQ(recorder.shown.size(), 1u);
    EXPECT_EQ(recorder.shown[0].caption, c.caption);
    EXPECT_EQ(recorder.shown[0].text, c.text);
    EXPECT_EQ(recorder.shown[0].icon, c.icon);
    EXPECT_EQ(recorder.shown[0].owner, c.owned ? &owner : nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, ShowMessageBoxTest,
    testing::Values(BoxCase{"VarnelLoader::LoadList", "Folder Not Found!\n\nCheck",
                            MessageIcon::None, false},
                    BoxCase{"Varnel", "This dose not seam", MessageIcon::Exclamation, true},
                    BoxCase{"", "", MessageIcon::Error, false},
                    BoxCase{"Varnel", "info", MessageIcon::Information, true}));

TEST(ShowMessageBoxDefaultsTest, NoIconAndNoOwner) {
    RecordingMessageBox recorder;
    ScopedReplacement<MessageBoxService> useRecorder(recorder);
    ShowMessageBox("Varnel", "text");
    ASSERT_EQ(recorder.shown.size(), 1u);
    EXPECT_EQ(recorder.shown[0].icon, MessageIcon::None);
    EXPECT_EQ(recorder.shown[0].owner, nullptr);
}

TEST(ShellTargetUrlTest, AddressesKeepTheirScheme) {
    for (const char* address :
         {"http://example.com/downloads.php?id=7", "https://example.com/", "mailto:a@b.c"}) {
        const QUrl url = ShellTargetUrl(address);
        EXPECT_FALSE(url.isLocalFile()) << address;
        EXPECT_EQ(url.toString().toStdString(), address);
    }
}

TEST(ShellTargetUrlTest, PathsBecomeLocalFiles) {
    const QString absolute = QDir::temp().absoluteFilePath("Pictavo update 1.rar");
    const QUrl url = ShellTargetUrl(QDir::toNativeSeparators(absolute).toStdString());
    EXPECT_TRUE(url.isLocalFile());
    EXPECT_EQ(url.toLocalFile(), absolute);

    const QUrl relative = ShellTargetUrl("not-here-update.rar");
    EXPECT_TRUE(relative.isLocalFile());
    EXPECT_EQ(relative.toLocalFile(), QDir::current().absoluteFilePath("not-here-update.rar"));
}

TEST(CurrentDirectoryTest, IsTheProcessWorkingDirectory) {
    EXPECT_EQ(std::filesystem::path(CurrentDirectory()), std::filesystem::current_path());
}

// The icon is a resource of a static library: it must survive linking into a program.
TEST(AppIconTest, IsBuiltIntoTheProgram) {
    const QIcon icon = AppIcon();
    ASSERT_FALSE(icon.isNull());
    const QImage image = icon.pixmap(32, 32).toImage();
    ASSERT_EQ(image.size(), QSize(32, 32));
    // Corners are transparent, the middle is drawn.
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(image.pixelColor(16, 16).alpha(), 255);
}

} // namespace
