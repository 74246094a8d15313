#include "update/update_dlg.h"

#include "platform/dialog_units.h"
#include "platform/repaint_now.h"
#include "platform/shell_opener.h"
#include "settings/app_settings.h"
#include "update/http_downloader.h"
#include "update/progress_percent.h"
#include "update/start_directory_file.h"
#include "update/update_manifest.h"
#include "update/update_server.h"
#include "update/varnel_download_error.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <algorithm>
#include <cstdio>

UpdateDlg* g_activeUpdateDlg = nullptr;

namespace {

constexpr char kManifestFile[] = "UpdateCheck.xml";
constexpr char kDefaultArchiveFile[] = "Pictavo_update.rar";
constexpr char kNoUpdates[] = "There are no available updates";

const QColor kRed(255, 0, 0);
const QColor kAmber(255, 189, 0);

using pictavo::PlaceControl;

QLabel* SunkenLabel(QWidget* dialog, QRect rect, int id) {
    QLabel* label = PlaceControl(new QLabel("-", dialog), rect, id);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return label;
}

QTextCharFormat BoldIn(const QColor& colour) {
    QTextCharFormat format;
    format.setFontWeight(QFont::Bold);
    format.setForeground(colour);
    return format;
}

} // namespace

UpdateDlg::UpdateDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle("Checking For Updates..");
    setFont(pictavo::DialogFont());
    BuildControls();
}

UpdateDlg::~UpdateDlg() {
    if (g_activeUpdateDlg == this)
        g_activeUpdateDlg = nullptr;
}

void UpdateDlg::BuildControls() {
    const pictavo::DialogUnits units(font());
    setFixedSize(units.Size(258, 151));

    PlaceControl(new QLabel("Status:", this), units.Rect(7, 7, 24, 8));
    statusLine = PlaceControl(new QLabel("Connecting To Server", this), units.Rect(36, 7, 214, 8),
                              kStatusLine);
    // Progress lines end in a line feed; keep their first line in view.
    statusLine->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PlaceControl(new QLabel("Current Version:", this), units.Rect(143, 21, 54, 8));
    currentVersionLabel = SunkenLabel(this, units.Rect(197, 21, 54, 9), kCurrentVersion);
    PlaceControl(new QLabel("New Version:", this), units.Rect(155, 32, 43, 8));
    newVersionLabel = SunkenLabel(this, units.Rect(197, 33, 54, 9), kNewVersion);
    PlaceControl(new QLabel("Release Notes:", this), units.Rect(7, 33, 53, 8));

    releaseNotesBox = PlaceControl(new QTextEdit(this), units.Rect(7, 43, 190, 101), kReleaseNotes);
    releaseNotesBox->setReadOnly(true);
    releaseNotesBox->setLineWrapMode(QTextEdit::NoWrap);

    launchButton =
        PlaceControl(new QPushButton("Launch Up..", this), units.Rect(201, 96, 50, 14), kLaunch);
    launchButton->setEnabled(false);
    downloadButton =
        PlaceControl(new QPushButton("Download", this), units.Rect(201, 113, 50, 14), kDownload);
    downloadButton->setEnabled(false);
    downloadButton->setDefault(true);
    QPushButton* closeButton =
        PlaceControl(new QPushButton("Close", this), units.Rect(201, 130, 50, 14), kClose);

    connect(launchButton, &QPushButton::clicked, this, &UpdateDlg::OnLaunch);
    connect(downloadButton, &QPushButton::clicked, this, &UpdateDlg::OnDownload);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void UpdateDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (initialised)
        return;
    initialised = true;
    // First thing the dialog's own event loop does, once the window exists.
    QMetaObject::invokeMethod(this, &UpdateDlg::OnInitDialog, Qt::QueuedConnection);
}

void UpdateDlg::OnInitDialog() {
    currentVersionLabel->setText(kPictavoVersion);
    RepaintNow(*this);
    CheckForUpdates();
}

void UpdateDlg::CheckForUpdates() {
    SetStatus("File Downloaded");
    g_activeUpdateDlg = this;
    if (!Fetch(kManifestFile, pictavo::kManifestPath))
        return;
    SetStatus("File Downloaded");

    const std::optional<pictavo::UpdateManifest> manifest =
        pictavo::ReadUpdateManifest(pictavo::StartDirectoryFile(kManifestFile));
    if (!manifest) {
        SetStatus("Not fnd: 'Pictavo.xml'");
        return;
    }
    SetStatus("Parsing Data");
    if (manifest->version)
        newVersionLabel->setText(QString::fromStdString(*manifest->version));
    if (manifest->notes) {
        ShowReleaseNotes(*manifest->notes);
        downloadButton->setEnabled(true);
    }
    if (manifest->upToDate)
        releaseNotesBox->setPlainText(kNoUpdates);
    downloadLink = manifest->downloadLink;
    fileName = manifest->fileName;
    SetStatus("Done");
}

void UpdateDlg::ShowReleaseNotes(const pictavo::ReleaseNotes& notes) {
    releaseNotesBox->setPlainText(QString::fromStdString(notes.text));
    QTextCursor cursor(releaseNotesBox->document());
    // The last position is the document's own end mark.
    const int last = releaseNotesBox->document()->characterCount() - 1;
    for (const pictavo::NoteSpan& span : notes.spans) {
        cursor.setPosition(std::clamp(span.start, 0, last));
        cursor.setPosition(std::clamp(span.end, 0, last), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(BoldIn(span.colour == pictavo::NoteColour::Red ? kRed : kAmber));
    }
}

void UpdateDlg::OnDownload() {
    downloadButton->setEnabled(false);
    SetStatus("Downloading Upate");
    if (fileName.empty())
        fileName = kDefaultArchiveFile;
    if (!Fetch(fileName, pictavo::kArchivePath)) {
        downloadButton->setEnabled(true); // let the user try again
        return;
    }
    SetStatus("Update Downloaded");
    launchButton->setEnabled(true);
}

void UpdateDlg::OnLaunch() {
    ShellOpener::Current().Open(pictavo::StartDirectoryFile(fileName));
    // The update replaces the program, so the program ends: its main window first, then the
    // settings dialog that opened us, then this dialog.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window != ownerDialog && window->isVisible())
            window->close();
    }
    if (ownerDialog != nullptr)
        ownerDialog->reject();
    reject();
}

void UpdateDlg::OnDownloadProgress(std::uint32_t total, std::uint32_t done) {
    UpdateDlg* dialog = g_activeUpdateDlg;
    if (dialog == nullptr)
        return;
    std::snprintf(dialog->progressText, sizeof dialog->progressText, "progress: %i%%\n",
                  pictavo::ProgressPercent(total, done));
    dialog->SetStatus(dialog->progressText);
}

void UpdateDlg::SetStatus(const char* text) {
    statusLine->setText(QString::fromUtf8(text));
    // Downloads block the event loop; the status line still has to show what happens.
    statusLine->repaint();
}

bool UpdateDlg::Fetch(const std::string& targetFile, const char* path) {
    try {
        HttpDownloader downloader;
        downloader.SetOutputFile(targetFile);
        downloader.Download(pictavo::UpdateUrl(path), true, &UpdateDlg::OnDownloadProgress);
        return true;
    } catch (const VarnelDownloadError& error) {
        SetStatus(error.message);
        return false;
    }
}
