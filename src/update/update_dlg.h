#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

class QLabel;
class QPushButton;
class QTextEdit;

namespace pictavo {
struct ReleaseNotes;
}

// The update check: as soon as it is shown it fetches the manifest, shows the newest version
// and the release notes, and offers to download the update archive and open it. Downloads
// block the dialog; only its status line repaints meanwhile.
class UpdateDlg : public QDialog {
    Q_OBJECT

public:
    // Control ids, each kept in the control's "controlId" property.
    enum ControlId {
        kReleaseNotes = 1031,
        kStatusLine = 1032,
        kNewVersion = 1034,
        kDownload = 1035,
        kCurrentVersion = 1036,
        kLaunch = 1037,
        kClose = 2,
    };

    explicit UpdateDlg(QWidget* parent = nullptr);
    ~UpdateDlg() override;

    // Runs once, when the dialog is first on screen: shows our version, then the check.
    void OnInitDialog();
    void CheckForUpdates();
    void OnDownload();
    // Opens the archive and closes the program.
    void OnLaunch();
    static void OnDownloadProgress(std::uint32_t total, std::uint32_t done);

    // The settings dialog that opened this one; closed too when an update is launched.
    QDialog* ownerDialog = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void SetStatus(const char* text);
    // One download into the start directory; a failure ends up in the status line.
    bool Fetch(const std::string& targetFile, const char* path);
    void ShowReleaseNotes(const pictavo::ReleaseNotes& notes);

    QLabel* statusLine = nullptr;
    QLabel* newVersionLabel = nullptr;
    QLabel* currentVersionLabel = nullptr;
    QTextEdit* releaseNotesBox = nullptr;
    QPushButton* launchButton = nullptr;
    QPushButton* downloadButton = nullptr;
    // "progress: 100%\n" and its terminator fill it exactly.
    char progressText[16] = {};
    std::string downloadLink;
    std::string fileName;
    bool initialised = false;
};

// The dialog that progress reports go to; the downloader's callback has no context.
extern UpdateDlg* g_activeUpdateDlg;
