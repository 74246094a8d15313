#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

class ColorButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Edits the settings: the folder of each game, the active game, the display options and the
// two colours. Folders are only ever chosen with the folder browser, and the three game
// roots only when they hold a "raw" folder or main/*.iwd archives (IsGameRootFolder). Save
// stores everything; Escape stores nothing.
class SettingsDlg : public QDialog {
    Q_OBJECT

public:
    // Control ids, each kept in the control's "controlId" property.
    enum ControlId {
        kBOPath = 1004,
        kCod5Path = 1006,
        kBrowseCod5 = 1007,
        kActiveList = 1008,
        kResizePlane = 1009,
        kEnableZoom = 1010,
        kMergeBumpMap = 1011,
        kZoomButton = 1012,
        kCod4Path = 1013,
        kDragButton = 1014,
        kBrowseCod4 = 1015,
        kBrowseBO = 1016,
        kFirstRunHint = 1017,
        kVsync = 1018,
        kSave = 1019,
        kExit = 1020,
        kBackgroundColor = 1021,
        kTextColor = 1022,
        kCheckForUpdates = 1023,
        kCubeView = 1024,
        kMW2Path = 1026,
        kBrowseMW2 = 1027,
        kBrowseMW3 = 1028,
        kMW3Path = 1029,
    };

    explicit SettingsDlg(QWidget* parent = nullptr);

    // Fills the controls from the settings; runs when the dialog is first shown.
    void OnInitDialog();
    void OnBrowseCod4();
    void OnBrowseCod5();
    void OnBrowseBO();
    void OnBrowseMW2();
    void OnBrowseMW3();
    void OnSave();
    void OnExit();
    void OnCheckForUpdates();
    void OnCancel();

    // Whether `folder` is a game's installation root; in first-run mode the first one found
    // also picks its game.
    bool IsGameRoot(const std::string& folder, int game);

    bool firstRun = false;
    bool gamePicked = false;
    // The opener's flag, set when the user leaves the program from here (first-run mode).
    bool* exitFlag = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct GameRootBrowse {
        const char* title;
        int game;
        const char* notARoot;
    };
    struct ImageFolderBrowse {
        const char* hint;
        const char* title;
        int game;
    };

    void BuildControls();
    void BrowseGameRoot(const GameRootBrowse& browse, QLineEdit& edit);
    void BrowseImageFolder(const ImageFolderBrowse& browse, QLineEdit& edit);

    QLineEdit* cod4Path = nullptr;
    QLineEdit* cod5Path = nullptr;
    QLineEdit* boPath = nullptr;
    QLineEdit* mw2Path = nullptr;
    QLineEdit* mw3Path = nullptr;
    QLineEdit* zoomButton = nullptr;
    QLineEdit* dragButton = nullptr;
    QComboBox* activeList = nullptr;
    QLabel* firstRunHint = nullptr;
    QCheckBox* resizePlane = nullptr;
    QCheckBox* enableZoom = nullptr;
    QCheckBox* mergeBumpMap = nullptr;
    QCheckBox* vsync = nullptr;
    QCheckBox* cubeView = nullptr;
    ColorButton* backgroundColor = nullptr;
    ColorButton* textColor = nullptr;
    QPushButton* exitButton = nullptr;
    QPushButton* saveButton = nullptr;
    bool initialised = false;
};
