#include "app/settings_dlg.h"

#include "app/browse_for_folder.h"
#include "app/game_root.h"
#include "app/lumidesk_app.h"
#include "platform/app_icon.h"
#include "platform/color_button.h"
#include "platform/dialog_units.h"
#include "platform/message_box.h"
#include "settings/app_settings.h"
#include "update/update_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using pictavo::PlaceControl;

namespace {

constexpr char kCaption[] = "Varnel";

constexpr const char* kGameNames[] = {"Cod4", "Cod5", "CodBO", "MW2", "MW3"};

QLineEdit* ReadOnlyEdit(QWidget* dialog, const QRect& rect, int id) {
    QLineEdit* edit = PlaceControl(new QLineEdit(dialog), rect, id);
    edit->setReadOnly(true);
    edit->setMaxLength(int(kTextBufferSize) - 1);
    return edit;
}

QLabel* RightAligned(QLabel* label) {
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

std::int32_t TickState(const QCheckBox& box) {
    return box.isChecked() ? 1 : 0;
}

std::string Text(const QLineEdit& edit) {
    return edit.text().toStdString();
}

} // namespace

SettingsDlg::SettingsDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle("Settings");
    setFont(pictavo::DialogFont());
    setWindowIcon(AppIcon());
    BuildControls();
}

void SettingsDlg::BuildControls() {
    const pictavo::DialogUnits units(font());
    setFixedSize(units.Size(296, 226));

    PlaceControl(new QLabel("Cod4 Root:", this), units.Rect(7, 19, 45, 8));
    cod4Path = ReadOnlyEdit(this, units.Rect(52, 16, 220, 12), kCod4Path);
    auto* browseCod4 =
        PlaceControl(new QPushButton("...", this), units.Rect(274, 16, 14, 11), kBrowseCod4);
    PlaceControl(new QLabel("Cod5 Root:", this), units.Rect(7, 36, 45, 8));
    cod5Path = ReadOnlyEdit(this, units.Rect(52, 34, 220, 12), kCod5Path);
    auto* browseCod5 =
        PlaceControl(new QPushButton("...", this), units.Rect(274, 34, 14, 11), kBrowseCod5);
    PlaceControl(new QLabel("BO Root:", this), units.Rect(7, 56, 45, 8));
    boPath = ReadOnlyEdit(this, units.Rect(52, 53, 220, 12), kBOPath);
    auto* browseBO =
        PlaceControl(new QPushButton("...", this), units.Rect(274, 53, 14, 11), kBrowseBO);
    PlaceControl(new QLabel("MW2 Images:", this), units.Rect(7, 73, 45, 8));
    mw2Path = ReadOnlyEdit(this, units.Rect(52, 71, 220, 13), kMW2Path);
    auto* browseMW2 =
        PlaceControl(new QPushButton("...", this), units.Rect(274, 70, 14, 11), kBrowseMW2);
    PlaceControl(new QLabel("MW3 Images:", this), units.Rect(7, 94, 45, 8));
    mw3Path = ReadOnlyEdit(this, units.Rect(52, 92, 220, 13), kMW3Path);
    auto* browseMW3 =
        PlaceControl(new QPushButton("...", this), units.Rect(274, 91, 14, 11), kBrowseMW3);

    PlaceControl(new QLabel("Active List:", this), units.Rect(9, 118, 45, 8));
    activeList = PlaceControl(new QComboBox(this), units.Rect(52, 116, 63, 12), kActiveList);
    firstRunHint = PlaceControl(
        new QLabel("Please set the game path's. You will only have to do this once.", this),
        units.Rect(189, 110, 99, 27), kFirstRunHint);
    firstRunHint->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    firstRunHint->setWordWrap(true);
    firstRunHint->hide();

    // The group box first, so the controls drawn over it stay above it.
    PlaceControl(new QGroupBox("OpenGL Settings", this), units.Rect(7, 137, 209, 82));
    resizePlane = PlaceControl(new QCheckBox("Resize Plane", this), units.Rect(15, 151, 56, 10),
                               kResizePlane);
    enableZoom =
        PlaceControl(new QCheckBox("Enable Zoom", this), units.Rect(15, 164, 57, 10), kEnableZoom);
    mergeBumpMap = PlaceControl(new QCheckBox("Merg bump map", this), units.Rect(15, 179, 67, 10),
                                kMergeBumpMap);
    vsync = PlaceControl(new QCheckBox("Vsync", this), units.Rect(15, 194, 35, 10), kVsync);
    cubeView =
        PlaceControl(new QCheckBox("3D CubeView", this), units.Rect(15, 208, 58, 10), kCubeView);
    PlaceControl(new QLabel("Zoom:", this), units.Rect(91, 150, 21, 12));
    zoomButton = ReadOnlyEdit(this, units.Rect(117, 150, 34, 12), kZoomButton);
    PlaceControl(new QLabel("Drag:", this), units.Rect(93, 169, 19, 12));
    dragButton = ReadOnlyEdit(this, units.Rect(117, 169, 34, 12), kDragButton);
    PlaceControl(RightAligned(new QLabel("BackgroundColor:", this)), units.Rect(91, 190, 60, 8));
    backgroundColor =
        PlaceControl(new ColorButton(this), units.Rect(159, 187, 49, 14), kBackgroundColor);
    PlaceControl(RightAligned(new QLabel("TextColor:", this)), units.Rect(91, 204, 60, 8));
    textColor = PlaceControl(new ColorButton(this), units.Rect(159, 201, 49, 14), kTextColor);

    exitButton = PlaceControl(new QPushButton("Exit", this), units.Rect(222, 167, 66, 14), kExit);
    auto* checkForUpdates = PlaceControl(new QPushButton("Check for Updates", this),
                                         units.Rect(222, 187, 66, 14), kCheckForUpdates);
    saveButton = PlaceControl(new QPushButton("Save", this), units.Rect(222, 205, 66, 14), kSave);
    saveButton->setDefault(true);

    connect(browseCod4, &QPushButton::clicked, this, &SettingsDlg::OnBrowseCod4);
    connect(browseCod5, &QPushButton::clicked, this, &SettingsDlg::OnBrowseCod5);
    connect(browseBO, &QPushButton::clicked, this, &SettingsDlg::OnBrowseBO);
    connect(browseMW2, &QPushButton::clicked, this, &SettingsDlg::OnBrowseMW2);
    connect(browseMW3, &QPushButton::clicked, this, &SettingsDlg::OnBrowseMW3);
    connect(saveButton, &QPushButton::clicked, this, &SettingsDlg::OnSave);
    connect(exitButton, &QPushButton::clicked, this, &SettingsDlg::OnExit);
    connect(checkForUpdates, &QPushButton::clicked, this, &SettingsDlg::OnCheckForUpdates);
}

void SettingsDlg::showEvent(QShowEvent* event) {
    if (!initialised) {
        initialised = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void SettingsDlg::OnInitDialog() {
    zoomButton->setText("Rmb");
    dragButton->setText("Lmb");

    cod4Path->setText(QString::fromStdString(theSettings.Cod4Path));
    cod5Path->setText(QString::fromStdString(theSettings.Cod5Path));
    boPath->setText(QString::fromStdString(theSettings.BOPath));
    mw2Path->setText(QString::fromStdString(theSettings.MW2Path));
    mw3Path->setText(QString::fromStdString(theSettings.MW3Path));

    activeList->clear();
    for (const char* name : kGameNames)
        activeList->addItem(name);
    // A game outside the list, -1 included, selects nothing.
    const int game = theSettings.ActiveGame;
    activeList->setCurrentIndex(firstRun ? 0
                                         : (game >= 0 && game < activeList->count() ? game : -1));

    resizePlane->setChecked(theSettings.StrecImage != 0);
    enableZoom->setChecked(theSettings.EnableZoom != 0);
    mergeBumpMap->setChecked(theSettings.MergeBUMP);
    cubeView->setChecked(theSettings.new_3DCubeView);
    vsync->setChecked(theSettings.Vsync);

    backgroundColor->SetColor(theSettings.color_background);
    textColor->SetColor(theSettings.color_text);

    if (firstRun) {
        firstRunHint->show();
        saveButton->setEnabled(false);
    } else {
        exitButton->hide();
    }
}

bool SettingsDlg::IsGameRoot(const std::string& folder, int game) {
    if (!IsGameRootFolder(folder))
        return false;
    if (firstRun && !gamePicked) {
        gamePicked = true;
        activeList->setCurrentIndex(game);
        saveButton->setEnabled(true);
    }
    return true;
}

void SettingsDlg::BrowseGameRoot(const GameRootBrowse& browse, QLineEdit& edit) {
    std::string folder;
    if (!BrowseForFolder(this, nullptr, folder, browse.title))
        return;
    if (IsGameRoot(folder, browse.game))
        edit.setText(QString::fromStdString(folder));
    else
        ShowMessageBox(kCaption, browse.notARoot, MessageIcon::Exclamation, this);
}

void SettingsDlg::OnBrowseCod4() {
    // From here on the dialog picks a game as on the first run, whatever its mode.
    firstRun = true;
    BrowseGameRoot({"Please browse to your 'Call of duty 4' Root directoy. (not raw)", 0,
                    "This dose not seam to be the root directoy for 'Cod4'."},
                   *cod4Path);
}

void SettingsDlg::OnBrowseCod5() {
    BrowseGameRoot({"Please browse to your 'Call of duty 5' Root directoy. (not raw)", 1,
                    "This dose not seam to be the root directoy for 'Cod5'."},
                   *cod5Path);
}

void SettingsDlg::OnBrowseBO() {
    BrowseGameRoot({"Please browse to your 'Call of duty Black Ops' Root directoy. (not raw)", 2,
                    "This dose not seam to be the root directoy for 'Cod BO'."},
                   *boPath);
}

void SettingsDlg::BrowseImageFolder(const ImageFolderBrowse& browse, QLineEdit& edit) {
    ShowMessageBox(kCaption, browse.hint, MessageIcon::Exclamation, this);
    std::string folder;
    if (!BrowseForFolder(this, nullptr, folder, browse.title))
        return;
    activeList->setCurrentIndex(browse.game);
    saveButton->setEnabled(true);
    edit.setText(QString::fromStdString(folder));
}

void SettingsDlg::OnBrowseMW2() {
    BrowseImageFolder(
        {"For MW2 Images just extract all the IWI's form the IWD's and put in a folder.",
         "Please browse to the folder that contains all the MW2 images.", 3},
        *mw2Path);
}

void SettingsDlg::OnBrowseMW3() {
    BrowseImageFolder(
        {"For MW3 Images just extract all the IWI's form the IWD's and put in a folder.",
         "Please browse to the folder that contains all the MW3 images.", 4},
        *mw3Path);
}

void SettingsDlg::OnSave() {
    theSettings.Cod4Path = Text(*cod4Path);
    theSettings.Cod5Path = Text(*cod5Path);
    theSettings.BOPath = Text(*boPath);
    theSettings.MW2Path = Text(*mw2Path);
    theSettings.MW3Path = Text(*mw3Path);

    theSettings.StrecImage = TickState(*resizePlane);
    theSettings.EnableZoom = TickState(*enableZoom);
    theSettings.CubeView = TickState(*mergeBumpMap);
    theSettings.MergeBUMP = mergeBumpMap->isChecked();
    theSettings.new_3DCubeView = cubeView->isChecked();
    theSettings.Vsync = vsync->isChecked();

    theSettings.ActiveGame = activeList->currentIndex();
    theSettings.color_background = backgroundColor->GetColor();
    theSettings.color_text = textColor->GetColor();

    theSettings.Save(false);
    OnCancel();
}

void SettingsDlg::OnExit() {
    if (exitFlag != nullptr)
        *exitFlag = true;
    if (QWidget* mainWindow = theApp.mainWindow)
        mainWindow->close();
    OnCancel();
}

void SettingsDlg::OnCheckForUpdates() {
    UpdateDlg updates;
    updates.ownerDialog = this;
    updates.exec();
}

void SettingsDlg::OnCancel() {
    reject();
}
