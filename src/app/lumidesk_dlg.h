#pragma once

#include "platform/qt_list_box.h"
#include "view/opengl_control.h"

#include <QDialog>
#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;

// The program's window: the view of the current image beside the sorted list of the active
// game's images, a filter, four buttons and the current image's size and format.
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
    };

    explicit CLumideskDlg(QWidget* parent = nullptr);
    ~CLumideskDlg() override;

    // Initialises the dialog and runs it until it ends, at once when it was closed while
    // initialising (the first-run settings dialog's Exit).
    int DoModal();

    void OnInitDialog();
    void OnListSelChange();
    void OnFilterChange();
    void OnRefresh();
    void OnSettings();
    void OnAbout();
    void OnExport();

    COpenGLControl& View();

protected:
    // F1 and F2 reach the dialog before any control sees them.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

private:
    void BuildControls();
    bool PreTranslateMessage(const QKeyEvent& key);
    void ShowFirstRunSettings();
    void LoadActiveGameList();

    // Before the view, whose image list points to it.
    std::unique_ptr<QtListBox> imageListBox;
    COpenGLControl openGLControl;
    QWidget* viewFrame = nullptr;
    QListWidget* imageList = nullptr;
    QLineEdit* filterEdit = nullptr;
    QLabel* dataSizeLabel = nullptr;
    QLabel* formatLabel = nullptr;
    QLabel* dimensionsLabel = nullptr;
    bool initialising = false;
    bool endedWhileInitialising = false;
};
