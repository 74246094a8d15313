#include "loopback_http_server.h"
#include "platform/dialog_units.h"
#include "platform/testing/recording_message_box.h"
#include "platform/testing/recording_shell_opener.h"
#include "start_directory_fixture.h"
#include "update/start_directory_file.h"
#include "update/update_dlg.h"
#include "update/update_server.h"
#include "version/pictavo_version.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using pictavo::FindControl;

// Every text the status line was painted with, in order, repeats folded.
class PaintedTexts final : public QObject {
public:
    explicit PaintedTexts(QLabel& label) : label_(label) { label.installEventFilter(this); }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            const std::string text = label_.text().toStdString();
            if (texts.empty() || texts.back() != text)
                texts.push_back(text);
        }
        return false;
    }

    std::vector<std::string> texts;

private:
    QLabel& label_;
};

std::vector<std::string> ProgressLines(const std::vector<std::string>& texts) {
    std::vector<std::string> lines;
    for (const std::string& text : texts) {
        if (text.rfind("progress: ", 0) == 0)
            lines.push_back(text);
    }
    return lines;
}

// The format of a printable character (line ends belong to no fragment).
QTextCharFormat FormatOfCharacter(QTextEdit& box, int position) {
    const QTextBlock block = box.document()->findBlock(position);
    for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
        if (fragment.fragment().contains(position))
            return fragment.fragment().charFormat();
    }
    ADD_FAILURE() << "no character at " << position;
    return {};
}

bool IsBoldIn(const QTextCharFormat& format, const QColor& colour) {
    return format.fontWeight() == QFont::Bold && format.foreground().color() == colour;
}

const QColor kRed(255, 0, 0);
const QColor kAmber(255, 189, 0);

std::string Manifest(const std::string& entries) {
    return "<?xml version=\"1.0\"?>\n<update>" + entries + "</update>";
}

// This program's own version, as the dialog shows it and an up-to-date manifest names it.
const std::string kOurs = kPictavoVersion;
const std::string kOursEntry = R"(<e data="version">)" + kOurs + "</e>";

const std::string kOffer = R"(<e data="version">1.4.0</e>
    <e data="notes"><l color="r">Fixed crash</l><l/><l color="y">Added A</l><l>plain</l></e>
    <e data="DownloadLink">http://example.org/x</e>)";

class UpdateDlgTest : public StartDirectoryTest {
protected:
    void SetUp() override {
        StartDirectoryTest::SetUp();
        theSettings.UpdateServer = server_.Address();
    }

    void TearDown() override {
        EXPECT_TRUE(messageBoxes_.shown.empty()) << "the update dialog shows no message boxes";
        StartDirectoryTest::TearDown();
    }

    void ServeManifest(const std::string& entries) {
        server_.Serve(pictavo::kManifestPath, {.body = Manifest(entries)});
    }

    // Shows the dialog and lets its event loop start the check, which runs to its end.
    void Open() {
        dialog_.show();
        for (int i = 0; i < 100 && Current().text() != QString::fromStdString(kOurs); ++i)
            QCoreApplication::processEvents();
        ASSERT_EQ(Current().text().toStdString(), kOurs) << "the check never started";
    }

    std::string Status() {
        return FindControl<QLabel>(dialog_, UpdateDlg::kStatusLine)->text().toStdString();
    }
    QLabel& Current() { return *FindControl<QLabel>(dialog_, UpdateDlg::kCurrentVersion); }
    QLabel& NewVersion() { return *FindControl<QLabel>(dialog_, UpdateDlg::kNewVersion); }
    QTextEdit& Notes() { return *FindControl<QTextEdit>(dialog_, UpdateDlg::kReleaseNotes); }
    QPushButton& Download() { return *FindControl<QPushButton>(dialog_, UpdateDlg::kDownload); }
    QPushButton& Launch() { return *FindControl<QPushButton>(dialog_, UpdateDlg::kLaunch); }

    LoopbackHttpServer server_;
    RecordingMessageBox messageBoxes_;
    pictavo::ScopedReplacement<MessageBoxService> messageBoxScope_{messageBoxes_};
    RecordingShellOpener shell_;
    pictavo::ScopedReplacement<ShellOpener> shellScope_{shell_};
    UpdateDlg dialog_;
    PaintedTexts painted_{*FindControl<QLabel>(dialog_, UpdateDlg::kStatusLine)};
};

TEST_F(UpdateDlgTest, StartsWithItsTemplateTexts) {
    EXPECT_EQ(dialog_.windowTitle(), "Checking For Updates..");
    EXPECT_EQ(Status(), "Connecting To Server");
    EXPECT_EQ(Current().text(), "-");
    EXPECT_EQ(NewVersion().text(), "-");
    EXPECT_EQ(Notes().toPlainText(), "");
    EXPECT_TRUE(Notes().isReadOnly());
    EXPECT_EQ(Launch().text(), "Launch Up..");
    EXPECT_EQ(Download().text(), "Download");
    EXPECT_FALSE(Launch().isEnabled());
    EXPECT_FALSE(Download().isEnabled());
    QPushButton* close = FindControl<QPushButton>(dialog_, UpdateDlg::kClose);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), "Close");
    EXPECT_TRUE(server_.Requests().empty()) << "nothing happens before the dialog is shown";
}

TEST_F(UpdateDlgTest, UpToDateManifestSaysSo) {
    ServeManifest(kOursEntry + R"(<e data="notes"><l>ignored</l></e>)");

    Open();

    EXPECT_EQ(NewVersion().text().toStdString(), kOurs);
    EXPECT_EQ(Notes().toPlainText(), "There are no available updates");
    EXPECT_FALSE(Download().isEnabled());
    EXPECT_FALSE(Launch().isEnabled());
    EXPECT_EQ(Status(), "Done");
    EXPECT_EQ(ReadText(InFolder("UpdateCheck.xml")),
              Manifest(kOursEntry + R"(<e data="notes"><l>ignored</l></e>)"));
    ASSERT_EQ(server_.Requests().size(), 1u);
    EXPECT_EQ(server_.Requests()[0].path, "/Application_xml/Pictavo_update_check.rar");
}

TEST_F(UpdateDlgTest, StatusLineShowsEachStepOfTheCheck) {
    ServeManifest(kOursEntry);

    Open();

    std::vector<std::string> steps = painted_.texts;
    if (!steps.empty() && steps.front() == "Connecting To Server")
        steps.erase(steps.begin());
    EXPECT_EQ(steps, (std::vector<std::string>{"File Downloaded", "progress: 100%\n",
                                               "File Downloaded", "Parsing Data", "Done"}));
}

TEST_F(UpdateDlgTest, OfferedUpdateShowsColouredNotes) {
    ServeManifest(kOffer);

    Open();

    EXPECT_EQ(NewVersion().text(), "1.4.0");
    EXPECT_EQ(Notes().toPlainText(), "Fixed crash\n\nAdded A\nplain\n");
    EXPECT_TRUE(Download().isEnabled());
    EXPECT_FALSE(Launch().isEnabled());
    EXPECT_EQ(Status(), "Done");
    for (int i = 0; i < 11; ++i)
        EXPECT_TRUE(IsBoldIn(FormatOfCharacter(Notes(), i), kRed)) << "character " << i;
    EXPECT_TRUE(IsBoldIn(FormatOfCharacter(Notes(), 13), kAmber));
    for (int i : {14, 15, 19, 21, 25})
        EXPECT_NE(FormatOfCharacter(Notes(), i).fontWeight(), QFont::Bold) << "character " << i;
}

TEST_F(UpdateDlgTest, NotesBeforeOurVersionStayOffered) {
    ServeManifest(R"(<e data="notes"><l>x</l></e>)" + kOursEntry);

    Open();

    EXPECT_EQ(Notes().toPlainText(), "There are no available updates");
    EXPECT_TRUE(Download().isEnabled());
    EXPECT_EQ(Status(), "Done");
}

TEST_F(UpdateDlgTest, ManifestWithoutNotesOffersNothing) {
    ServeManifest(R"(<e data="version">1.4.0</e>)");

    Open();

    EXPECT_EQ(NewVersion().text(), "1.4.0");
    EXPECT_FALSE(Download().isEnabled());
    EXPECT_EQ(Status(), "Done");
}

TEST_F(UpdateDlgTest, FailedManifestDownloadShowsTheDownloaderMessage) {
    Open(); // nothing served: the server answers 404

    EXPECT_EQ(Status(), "Server answered 404");
    EXPECT_EQ(NewVersion().text(), "-");
    EXPECT_FALSE(Download().isEnabled());
    EXPECT_FALSE(Launch().isEnabled());
}

TEST_F(UpdateDlgTest, UnreachableServerCannotOpenTheUrl) {
    {
        const LoopbackHttpServer gone;
        theSettings.UpdateServer = gone.Address();
    }

    Open();

    EXPECT_EQ(Status(), "Can't open url");
    EXPECT_FALSE(Download().isEnabled());
}

TEST_F(UpdateDlgTest, ManifestThatIsNotXmlIsNotFound) {
    server_.Serve(pictavo::kManifestPath, {.body = "<html>an error page"});

    Open();

    EXPECT_EQ(Status(), "Not fnd: 'Pictavo.xml'");
    EXPECT_FALSE(Download().isEnabled());
    EXPECT_EQ(Notes().toPlainText(), "");
}

TEST_F(UpdateDlgTest, DownloadSavesTheArchiveUnderTheManifestsName) {
    ServeManifest(kOffer + R"(<e data="fileName">Pictavo_1.4.0.rar</e>)");
    const std::string archive(60000, 'R');
    server_.Serve(pictavo::kArchivePath, {.body = archive});
    Open();

    Download().click();

    EXPECT_EQ(ReadText(InFolder("Pictavo_1.4.0.rar")), archive);
    EXPECT_EQ(server_.Requests().back().path, "/downloads.php?id=7");
    EXPECT_EQ(Status(), "Update Downloaded");
    EXPECT_TRUE(Launch().isEnabled());
    EXPECT_FALSE(Download().isEnabled());
}

TEST_F(UpdateDlgTest, StatusLineRepaintsWhileTheArchiveDownloads) {
    ServeManifest(kOffer);
    server_.Serve(pictavo::kArchivePath, {.body = std::string(60000, 'R')});
    Open();
    painted_.texts.clear();

    Download().click();

    ASSERT_FALSE(painted_.texts.empty());
    EXPECT_EQ(painted_.texts.front(), "Downloading Upate");
    EXPECT_EQ(painted_.texts.back(), "Update Downloaded");
    const std::vector<std::string> progress = ProgressLines(painted_.texts);
    ASSERT_GE(progress.size(), 2u) << "at least two of the six or more chunks were painted";
    EXPECT_EQ(progress.back(), "progress: 100%\n");
}

class DialogFileNameTest : public UpdateDlgTest, public testing::WithParamInterface<const char*> {};

TEST_P(DialogFileNameTest, MissingOrUnsafeNameFallsBackToTheDefault) {
    ServeManifest(kOffer + GetParam());
    server_.Serve(pictavo::kArchivePath, {.body = "archive"});
    Open();

    Download().click();

    EXPECT_EQ(ReadText(InFolder("Pictavo_update.rar")), "archive");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.path()),
                            std::filesystem::directory_iterator()),
              2)
        << "only the manifest and the archive";
    EXPECT_FALSE(std::filesystem::exists(folder_.path().parent_path() / "evil.rar"));
}

INSTANTIATE_TEST_SUITE_P(Names, DialogFileNameTest,
                         testing::Values("", R"(<e data="fileName">../evil.rar</e>)",
                                         R"(<e data="fileName">/tmp/evil.rar</e>)",
                                         R"(<e data="fileName">.evil.rar</e>)"));

TEST_F(UpdateDlgTest, FailedArchiveDownloadCanBeRetried) {
    ServeManifest(kOffer);
    Open();

    Download().click();

    EXPECT_EQ(Status(), "Server answered 404");
    EXPECT_TRUE(Download().isEnabled());
    EXPECT_FALSE(Launch().isEnabled());

    server_.Serve(pictavo::kArchivePath, {.body = "archive"});
    Download().click();

    EXPECT_EQ(Status(), "Update Downloaded");
    EXPECT_EQ(ReadText(InFolder("Pictavo_update.rar")), "archive");
}

TEST_F(UpdateDlgTest, DialogTakesNoInputWhileADownloadRuns) {
    ServeManifest(kOffer);
    HttpAnswer archive{.body = std::string(30000, 'R')};
    archive.pauseAfter = 10000;
    // Made here: input events belong to the user-interface thread; only posting is safe.
    auto* escape = new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    archive.midway = [this, escape] { QCoreApplication::postEvent(&dialog_, escape); };
    server_.Serve(pictavo::kArchivePath, archive);
    Open();

    Download().click();

    EXPECT_EQ(Status(), "Update Downloaded");
    EXPECT_TRUE(dialog_.isVisible()) << "the Escape pressed meanwhile waited";
    QCoreApplication::processEvents();
    EXPECT_FALSE(dialog_.isVisible()) << "and was handled afterwards";
}

TEST_F(UpdateDlgTest, LaunchOpensTheArchiveAndClosesTheProgram) {
    ServeManifest(kOffer + R"(<e data="fileName">Pictavo_1.4.0.rar</e>)");
    server_.Serve(pictavo::kArchivePath, {.body = "archive"});
    QWidget mainWindow;
    mainWindow.show();
    QDialog settings;
    settings.show();
    dialog_.ownerDialog = &settings;
    Open();
    Download().click();

    Launch().click();

    EXPECT_EQ(shell_.opened,
              std::vector<std::string>{pictavo::StartDirectoryFile("Pictavo_1.4.0.rar")});
    EXPECT_EQ(shell_.opened[0], InFolder("Pictavo_1.4.0.rar"));
    EXPECT_FALSE(mainWindow.isVisible());
    EXPECT_FALSE(settings.isVisible());
    EXPECT_EQ(settings.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog_.isVisible());
}

TEST_F(UpdateDlgTest, LaunchClosesTheProgramEvenWhenTheShellFails) {
    ServeManifest(kOffer);
    server_.Serve(pictavo::kArchivePath, {.body = "archive"});
    shell_.succeeds = false;
    Open();
    Download().click();

    Launch().click();

    EXPECT_EQ(shell_.opened, std::vector<std::string>{InFolder("Pictavo_update.rar")});
    EXPECT_FALSE(dialog_.isVisible());
}

TEST_F(UpdateDlgTest, ProgressReportsGoToTheCheckingDialog) {
    ServeManifest(kOffer);
    Open();
    ASSERT_EQ(g_activeUpdateDlg, &dialog_);

    UpdateDlg::OnDownloadProgress(100, 37);
    EXPECT_EQ(Status(), "progress: 37%\n");
    UpdateDlg::OnDownloadProgress(3, 1);
    EXPECT_EQ(Status(), "progress: 33%\n");
    UpdateDlg::OnDownloadProgress(10, 10);
    EXPECT_EQ(Status(), "progress: 100%\n");
}

TEST(UpdateDlgLifetimeTest, ClosedDialogIsNoLongerTheActiveOne) {
    {
        UpdateDlg dialog;
        g_activeUpdateDlg = &dialog;
    }
    EXPECT_EQ(g_activeUpdateDlg, nullptr);
    UpdateDlg::OnDownloadProgress(1, 1); // and a stray report goes nowhere
}

} // namespace
