#pragma once

#include "app/compare_feature.h"
#include "app/material_feature.h"
#include "app/recent_files.h"
#include "app/shown_file_reload.h"
#include "app/window_anchors.h"
#include "platform/qt_list_box.h"
#include "view/opengl_control.h"

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

class InspectBar;
class QAction;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class TexelReadingAction;
class ThumbnailGrid;

// The program's window: the view of the current image beside the sorted list of the active
// game's images (or of a folder, archive or files the user opened), a filter, four buttons,
// the current image's size and format, and around them a menu bar, an info panel, the
// view's inspection bar and a status line.
class CLumideskDlg : public QDialog {
    Q_OBJECT

public:
    // Control ids, each kept in the control's "controlId" property.
    enum ControlId {
        kViewFrame = 1000,
        kImageList = 1001,
        kSettings = 1003,
        kRefresh = 1004,
        kAbout = 1005,
        kExport = 1006,
        kFilter = 1022,
        kDataSize = 1023,
        kFormat = 1024,
        kDimensions = 1025,
        kInfoPanel = 1030,
        kStatusLine = 1031,
    };

    explicit CLumideskDlg(QWidget* parent = nullptr);
    ~CLumideskDlg() override;

    // Files, folders or archives to show at once instead of the game's list, as the command
    // line names them; set before DoModal.
    void SetStartPaths(std::vector<std::string> paths);

    // Initialises the dialog and runs it until it ends, at once when it was closed while
    // initialising (the first-run settings dialog's Exit).
    int DoModal();

    void OnInitDialog();
    void OnListSelChange();
    void OnFilterChange();
    // Enter in the filter: on to the list, showing its first match.
    void OnFilterEnter();
    void OnRefresh();
    void OnSettings();
    void OnAbout();
    void OnExport();

    // File menu.
    void OnOpen();
    void OnOpenFolder();
    void OnGameImages();
    void OnExportImageAs();
    void OnExportListed();
    // Lists what `paths` open (see PlanOpen) and shows an image named among them.
    void OpenPaths(const std::vector<std::string>& paths);
    void OpenRecent(const std::string& path);

    COpenGLControl& View();
    // View > Compare.
    CompareFeature& Compare() { return *compare; }

protected:
    // F1 and F2 reach the dialog before any control sees them.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The dialog's own controls, their places and texts.
    void BuildControls();
    // What the features add to them: the reload on a change on disk, the texel readout in
    // the status line, and the View menu's inspection, grid, texel reading and compare
    // actions, the grid and the compare panel in the view's place.
    void WireFeatures();
    void BuildMenus();
    void FillRecentMenu();
    bool PreTranslateMessage(const QKeyEvent& key);
    void ShowFirstRunSettings();
    void LoadActiveGameList();
    // The list's count and problems in the status line, and the list's entry `selected`
    // shown once the view can draw.
    void ListLoaded(const std::string& selected = std::string());
    void SelectWhenViewReady(const QString& text);
    // How many images the list shows, of how many, and what it could not list.
    std::string ListStatus();
    void ShowStatus(const std::string& text);
    // Export and Export Image As are offered only while an image read from the list is shown.
    bool ImageShown();
    void UpdateExportActions();
    // The menus' shortcuts that a focused control would otherwise take for its own keys.
    bool IsMenuShortcut(const QKeyEvent& key) const;
    void ShowImageInfo();
    // The labels, the inspection bar, the info panel and the status line for the image on
    // display, after a load or a reload.
    void ShowImageFacts();

    // Before the view, whose image list points to it.
    std::unique_ptr<QtListBox> imageListBox;
    COpenGLControl openGLControl;
    // The view's place, holding the view, the thumbnail grid and the compare panel, beside
    // the list's column; the splitter between them moves.
    QSplitter* splitter = nullptr;
    QWidget* viewFrame = nullptr;
    QGridLayout* viewStack = nullptr; // the view, the grid and Compare take turns
    QWidget* column = nullptr;
    QListWidget* imageList = nullptr;
    QLineEdit* filterEdit = nullptr;
    QLabel* dataSizeLabel = nullptr;
    QLabel* formatLabel = nullptr;
    QLabel* dimensionsLabel = nullptr;
    QPushButton* exportButton = nullptr;
    QMenuBar* menuBar = nullptr;
    QMenu* recentMenu = nullptr;
    QAction* exportImageAs = nullptr;
    QMenu* viewMenu = nullptr;
    TexelReadingAction* texelReading = nullptr;
    InspectBar* inspectBar = nullptr;
    ThumbnailGrid* thumbnailGrid = nullptr;
    QPlainTextEdit* infoPanel = nullptr;
    QLabel* statusLine = nullptr;
    // Reads the shown image again when it changes on disk.
    std::unique_ptr<ShownFileReload> reload;
    // After the view, the list and the reload it reads.
    std::unique_ptr<CompareFeature> compare;
    std::unique_ptr<MaterialFeature> material;
    // The controls' places at the dialog's own size, followed as the window is resized.
    std::unique_ptr<WindowAnchors> anchors;
    // The column's controls at its narrowest, followed as it widens or grows taller.
    std::unique_ptr<WindowAnchors> columnAnchors;
    RecentFiles recent;
    std::vector<std::string> startPaths;
    std::string listStatus; // shown while no texel is under the cursor
    bool initialising = false;
    bool endedWhileInitialising = false;
};
