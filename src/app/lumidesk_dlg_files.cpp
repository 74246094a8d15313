// The main window's File menu, recent list and drops: what the user opens, and the images
// written from the view.
#include "app/export_listed_dlg.h"
#include "app/file_chooser.h"
#include "app/level_picture.h"
#include "app/lumidesk_dlg.h"
#include "app/qt_path_text.h"
#include "app/settings_dlg.h"
#include "imagelist/open_plan.h"
#include "platform/folder_browser.h"
#include "platform/message_box.h"
#include "platform/open_filters.h"
#include "settings/app_settings.h"
#include "view/inspect_bar.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

namespace {

constexpr char kOpenCaption[] = "Varnel Pictavo";
constexpr char kPictureFilters[] = "PNG image (*.png);;TGA image (*.tga)";

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "\n") + line;
    return text;
}

// The local files of a drop, as the file system names them.
std::vector<std::string> DroppedPaths(const QMimeData& data) {
    std::vector<std::string> paths;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile())
            paths.push_back(PathBytes(url.toLocalFile()));
    }
    return paths;
}

QAction* AddAction(QMenu& menu, const char* name, const QString& text,
                   const QKeySequence& shortcut = QKeySequence()) {
    QAction* action = menu.addAction(text);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
}

} // namespace

void CLumideskDlg::BuildMenus() {
    QMenu* file = menuBar->addMenu("&File");
    connect(AddAction(*file, "fileOpen", "&Open...", QKeySequence::Open), &QAction::triggered, this,
            &CLumideskDlg::OnOpen);
    connect(AddAction(*file, "fileOpenFolder", "Open &Folder...", QKeySequence("Ctrl+Shift+O")),
            &QAction::triggered, this, &CLumideskDlg::OnOpenFolder);
    recentMenu = file->addMenu("Open &Recent");
    connect(AddAction(*file, "fileGameImages", "&Game Images", QKeySequence("Ctrl+G")),
            &QAction::triggered, this, &CLumideskDlg::OnGameImages);
    file->addSeparator();
    exportImageAs =
        AddAction(*file, "fileExportImageAs", "&Export Image As...", QKeySequence("Ctrl+E"));
    connect(exportImageAs, &QAction::triggered, this, &CLumideskDlg::OnExportImageAs);
    connect(AddAction(*file, "fileExportListed", "Export &Listed..."), &QAction::triggered, this,
            &CLumideskDlg::OnExportListed);
    file->addSeparator();
    connect(AddAction(*file, "fileExit", "E&xit", QKeySequence::Quit), &QAction::triggered, this,
            &QDialog::reject);
    viewMenu = menuBar->addMenu("&View");
}

void CLumideskDlg::FillRecentMenu() {
    recentMenu->clear();
    for (const std::string& path : recent.Paths()) {
        QAction* action = recentMenu->addAction(PathQString(path));
        connect(action, &QAction::triggered, this, [this, path] { OpenRecent(path); });
    }
    recentMenu->setEnabled(!recent.Paths().empty());
}

void CLumideskDlg::OnOpen() {
    const std::vector<std::string> paths =
        FileChooser::Current().ChooseFilesToOpen(this, "Open", pictavo::OpenFileFilter());
    if (!paths.empty())
        OpenPaths(paths);
}

void CLumideskDlg::OnOpenFolder() {
    if (const std::optional<std::string> folder =
            FolderBrowser::Current().ChooseFolder(this, "Open Folder", ""))
        OpenPaths({*folder});
}

void CLumideskDlg::OnGameImages() {
    if (!theSettings.IsGameSet()) {
        // A first start that opened a file: the game is chosen now.
        SettingsDlg settings;
        settings.exec();
        if (!theSettings.IsGameSet())
            return;
    }
    filterEdit->clear();
    openGLControl.Loader().ShowGameList();
    LoadActiveGameList();
}

void CLumideskDlg::OpenPaths(const std::vector<std::string>& paths) {
    const pictavo::OpenPlan plan = pictavo::PlanOpen(paths);
    if (!plan.problems.empty())
        ShowMessageBox(kOpenCaption, Joined(plan.problems), MessageIcon::Exclamation, this);
    if (!plan.opens)
        return;
    filterEdit->clear();
    VarnelLoader& loader = openGLControl.Loader();
    loader.OpenList(plan.list);
    loader.LoadList();
    recent.Add(plan.list.recentPath);
    SaveRecentFiles(recent);
    FillRecentMenu();
    ListLoaded(plan.list.selected);
}

void CLumideskDlg::OpenRecent(const std::string& path) {
    if (pictavo::KindOfPath(path) == pictavo::PathKind::kMissing) {
        recent.Remove(path);
        SaveRecentFiles(recent);
        FillRecentMenu();
        ShowMessageBox(kOpenCaption, path + "\n\nis gone and leaves the recent list.",
                       MessageIcon::Exclamation, this);
        return;
    }
    OpenPaths({path});
}

void CLumideskDlg::ListLoaded(const std::string& selected) {
    statusLine->setToolTip(QString::fromStdString(Joined(openGLControl.Loader().ListProblems())));
    ShowStatus(ListStatus());
    if (!selected.empty())
        SelectWhenViewReady(QString::fromStdString(selected));
}

std::string CLumideskDlg::ListStatus() {
    const VarnelLoader& loader = openGLControl.Loader();
    const std::vector<std::string>& problems = loader.ListProblems();
    const std::size_t count = loader.fileNames.size();
    const std::size_t shown = loader.ShownCount();
    std::string status = shown == count ? std::string() : std::to_string(shown) + " of ";
    status += std::to_string(count) + (count == 1 ? " image listed" : " images listed");
    if (!problems.empty())
        status += "; " + std::to_string(problems.size()) + " not: " + problems.front();
    return status;
}

void CLumideskDlg::SelectWhenViewReady(const QString& text) {
    // The image is uploaded as it is selected, which needs the view's context: it comes
    // with the window's first show.
    if (!openGLControl.isValid()) {
        QTimer::singleShot(COpenGLControl::kFramePeriodMs, this,
                           [this, text] { SelectWhenViewReady(text); });
        return;
    }
    const QList<QListWidgetItem*> found = imageList->findItems(text, Qt::MatchExactly);
    if (!found.isEmpty())
        imageList->setCurrentItem(found.front());
}

void CLumideskDlg::ShowStatus(const std::string& text) {
    listStatus = text;
    statusLine->setText(QString::fromStdString(text));
}

bool CLumideskDlg::ImageShown() {
    return openGLControl.Loader().ShownTexture() != nullptr;
}

void CLumideskDlg::UpdateExportActions() {
    exportImageAs->setEnabled(ImageShown());
    exportButton->setEnabled(ImageShown());
}

void CLumideskDlg::OnExportImageAs() {
    const pictavo::Texture* texture = openGLControl.InspectedTexture();
    if (!ImageShown() || texture == nullptr) {
        ShowMessageBox(kOpenCaption, "No image to export.", MessageIcon::Exclamation, this);
        return;
    }
    const VarnelLoader& loader = openGLControl.Loader();
    const pictavo::ImageLocation* where = loader.ShownLocation();
    std::string suggested = where ? where->name : "image";
    suggested = suggested.substr(0, suggested.rfind('.')) + ".png";
    const std::optional<FileChooser::SaveChoice> choice = FileChooser::Current().ChooseFileToSave(
        this, "Export Image As", suggested, kPictureFilters);
    if (!choice)
        return;
    // The name's extension decides; without one, the filter left chosen.
    pictavo::PictureType type = pictavo::PictureTypeOf(choice->path);
    if (type == pictavo::PictureType::kNone)
        type = choice->filter.find("TGA") != std::string::npos ? pictavo::PictureType::kTga
                                                               : pictavo::PictureType::kPng;
    const std::string path = pictavo::WithPictureExtension(choice->path, type);
    // The material mode's lit picture is written as the view shows it, read back from its
    // frame; every other mode writes the level as decoded.
    const pictavo::Status written =
        openGLControl.Mode() == COpenGLControl::ViewMode::kMaterial
            ? pictavo::WritePicture(openGLControl.ReadFrame(), type, path)
            : pictavo::WriteLevelPicture(
                  *texture, static_cast<std::uint32_t>(openGLControl.Level()),
                  static_cast<std::uint32_t>(openGLControl.CubeFace()), type, path);
    if (written)
        ShowStatus("Written: " + path);
    else
        ShowMessageBox(kOpenCaption, written.error().text, MessageIcon::Error, this);
}

void CLumideskDlg::OnExportListed() {
    ExportListed(this, openGLControl.Loader().ShownLocations());
}

void CLumideskDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedPaths(*event->mimeData()).empty())
        event->acceptProposedAction();
}

void CLumideskDlg::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = DroppedPaths(*event->mimeData());
    if (paths.empty())
        return;
    event->acceptProposedAction();
    OpenPaths(paths);
}
