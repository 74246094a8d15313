#include "app/lumidesk_dlg.h"

#include "app/settings/app_settings.h"
#include "app/settings_dlg.h"
#include "app/texel_reading_action.h"
#include "app/window_place.h"
#include "grid/loader_listing.h"
#include "grid/thumbnail_grid.h"
#include "imagelist/image_info_text.h"
#include "platform/app_icon.h"
#include "platform/dialog_units.h"
#include "platform/repaint_now.h"
#include "update/about_dlg.h"
#include "view/inspect_bar.h"
#include "view/texel_readout.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdint>
#include <cstdio>
#include <initializer_list>

using pictavo::PlaceControl;

CLumideskDlg::CLumideskDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(" Varnel Pictavo");
    setFont(pictavo::DialogFont());
    setWindowIcon(AppIcon());
    // Modal from its first show: on a first run it is shown before its own loop starts.
    setWindowModality(Qt::ApplicationModal);
    // Files, folders and archives dropped anywhere on the window, the view included.
    setAcceptDrops(true);
    BuildControls();
    QApplication::instance()->installEventFilter(this);
}

CLumideskDlg::~CLumideskDlg() {
    QApplication::instance()->removeEventFilter(this);
    // It reads the view's image list, which goes before the dialog's children.
    delete thumbnailGrid;
}

void CLumideskDlg::BuildControls() {
    const pictavo::DialogUnits units(font());
    menuBar = new QMenuBar(this);
    BuildMenus();
    // The dialog's own controls keep their layout below the menu bar; the info panel stands
    // in a column to their right, the inspection bar and the status line under them all.
    const int top = menuBar->sizeHint().height();
    const auto at = [&units, top](int x, int y, int width, int height) {
        return units.Rect(x, y, width, height).translated(0, top);
    };

    viewFrame = PlaceControl(new QWidget(this), at(-1, 0, 302, 300), kViewFrame);
    viewFrame->hide();
    imageList = PlaceControl(new QListWidget(this), at(301, 0, 163, 224), kImageList);
    imageList->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    imageList->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    imageListBox = std::make_unique<QtListBox>(*imageList);
    filterEdit = PlaceControl(new QLineEdit(this), at(301, 285, 163, 15), kFilter);

    auto* settings =
        PlaceControl(new QPushButton("Settings", this), at(306, 232, 38, 14), kSettings);
    auto* refresh = PlaceControl(new QPushButton("Refresh", this), at(345, 232, 41, 14), kRefresh);
    auto* about = PlaceControl(new QPushButton("About", this), at(388, 232, 35, 14), kAbout);
    auto* exportButton =
        PlaceControl(new QPushButton("Export", this), at(424, 232, 36, 14), kExport);

    // Each caption may run up to the label it names.
    PlaceControl(new QLabel("Size:", this), at(306, 255, 24, 8));
    dataSizeLabel = PlaceControl(new QLabel("0x0", this), at(331, 255, 55, 8), kDataSize);
    PlaceControl(new QLabel("Format:", this), at(306, 270, 28, 8));
    formatLabel = PlaceControl(new QLabel("-", this), at(335, 271, 125, 8), kFormat);
    PlaceControl(new QLabel("Size:", this), at(388, 255, 18, 8));
    dimensionsLabel = PlaceControl(new QLabel("0 x 0", this), at(407, 255, 53, 8), kDimensions);

    infoPanel = PlaceControl(new QPlainTextEdit(this), at(467, 0, 150, 300), kInfoPanel);
    infoPanel->setReadOnly(true);
    // Long paths break anywhere rather than run out of sight.
    infoPanel->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    infoPanel->setPlaceholderText("No image loaded");

    const QSize dialog = units.Size(619, 301);
    inspectBar = new InspectBar(openGLControl, this);
    const int barHeight = inspectBar->sizeHint().height();
    inspectBar->setGeometry(0, top + dialog.height(), dialog.width(), barHeight);
    const int statusHeight = fontMetrics().height() + 6;
    statusLine = PlaceControl(
        new QLabel(this), QRect(0, top + dialog.height() + barHeight, dialog.width(), statusHeight),
        kStatusLine);
    statusLine->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    statusLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    menuBar->setGeometry(0, 0, dialog.width(), top);
    // The dialog's own size is the smallest; growing, the view takes the new space, the list and
    // the info panel grow in height, the buttons, labels and filter stay by their corner.
    const QSize layoutSize(dialog.width(), top + dialog.height() + barHeight + statusHeight);
    setMinimumSize(layoutSize);
    resize(layoutSize);
    anchors = std::make_unique<WindowAnchors>(layoutSize);
    anchors->Anchor(menuBar, kAnchorLeft | kAnchorTop | kAnchorRight);
    anchors->Anchor(imageList, kAnchorTop | kAnchorRight | kAnchorBottom);
    anchors->Anchor(infoPanel, kAnchorTop | kAnchorRight | kAnchorBottom);
    for (QWidget* control :
         std::initializer_list<QWidget*>{filterEdit, settings, refresh, about, exportButton})
        anchors->Anchor(control, kAnchorRight | kAnchorBottom);
    for (QLabel* label : findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label != statusLine)
            anchors->Anchor(label, kAnchorRight | kAnchorBottom);
    }
    anchors->Anchor(inspectBar, kAnchorLeft | kAnchorRight | kAnchorBottom);
    reload = std::make_unique<ShownFileReload>(openGLControl, [this](const std::string& note) {
        ShowImageFacts();
        ShowStatus(note);
    });
    anchors->Anchor(statusLine, kAnchorLeft | kAnchorRight | kAnchorBottom);
    for (QAction* action : inspectBar->Actions())
        viewMenu->addAction(action);
    thumbnailGrid =
        new ThumbnailGrid(*imageList, std::make_unique<LoaderListing>(openGLControl.Loader()),
                          ThumbnailGrid::UserSettings(), this);
    // In the view's place, which it takes while on.
    thumbnailGrid->setGeometry(viewFrame->geometry());
    anchors->Anchor(thumbnailGrid, viewFrame->geometry(), kAnchorAll);
    thumbnailGrid->AddActions(*viewMenu);
    texelReading = new TexelReadingAction(
        *viewMenu, openGLControl, [this] { ShowImageFacts(); }, this);
    viewMenu->addSeparator();
    BuildCompare(viewFrame->geometry());

    connect(settings, &QPushButton::clicked, this, &CLumideskDlg::OnSettings);
    connect(refresh, &QPushButton::clicked, this, &CLumideskDlg::OnRefresh);
    connect(about, &QPushButton::clicked, this, &CLumideskDlg::OnAbout);
    connect(exportButton, &QPushButton::clicked, this, &CLumideskDlg::OnExport);
    connect(filterEdit, &QLineEdit::textChanged, this, &CLumideskDlg::OnFilterChange);
    connect(imageList, &QListWidget::itemSelectionChanged, this, &CLumideskDlg::OnListSelChange);
    openGLControl.SetTexelListener([this](const std::optional<TexelReadout>& readout) {
        statusLine->setText(
            QString::fromStdString(readout ? FormatTexelReadout(*readout) : listStatus));
    });
}

void CLumideskDlg::SetStartPaths(std::vector<std::string> paths) {
    startPaths = std::move(paths);
}

int CLumideskDlg::DoModal() {
    initialising = true;
    OnInitDialog();
    initialising = false;
    if (endedWhileInitialising)
        return QDialog::Rejected;
    return exec();
}

void CLumideskDlg::OnInitDialog() {
    // Before the view exists: it is created with the background colour.
    theSettings.Load();
    recent = LoadRecentFiles();
    FillRecentMenu();

    RestoreWindowPlace(*this);
    // The hidden frame keeps its own place; the view follows the window's size.
    openGLControl.Create(viewFrame->geometry(), this);
    anchors->Anchor(&openGLControl, viewFrame->geometry(), kAnchorAll);
    anchors->Apply(size());
    thumbnailGrid->TakePlaceOf(openGLControl);
    openGLControl.StartFrameTimer();
    openGLControl.Loader().SetListBox(imageListBox.get());

    // Started with something to show, the game's list (and a first run's settings) waits
    // until the user asks for it.
    if (!startPaths.empty())
        OpenPaths(startPaths);
    else if (theSettings.IsGameSet())
        LoadActiveGameList();
    else
        ShowFirstRunSettings();

    openGLControl.SetVsync(theSettings.Vsync ? 1 : 0);
    openGLControl.UpdateTextColor();
    openGLControl.UploadDefaultImage();
    openGLControl.ApplyAspectScale();
}

void CLumideskDlg::ShowFirstRunSettings() {
    // The main window stands behind the settings dialog.
    show();
    RepaintNow(*this);
    bool exitChosen = false;
    SettingsDlg settings;
    settings.firstRun = true;
    settings.exitFlag = &exitChosen;
    settings.exec();
    // After Exit the main window has been closed: no list. The same when it was closed
    // otherwise meanwhile (an update launched from the settings): the program is ending.
    if (!exitChosen && !endedWhileInitialising)
        LoadActiveGameList();
}

void CLumideskDlg::LoadActiveGameList() {
    VarnelLoader& loader = openGLControl.Loader();
    loader.SetGame(std::uint32_t(theSettings.ActiveGame));
    loader.LoadList();
    ListLoaded();
}

void CLumideskDlg::OnListSelChange() {
    if (Comparing()) {
        CompareWithSelected();
        return;
    }
    openGLControl.LoadSelected();
    ShowImageFacts();
    reload->Follow();
}

void CLumideskDlg::ShowImageFacts() {
    openGLControl.ApplyAspectScale();
    const VarnelLoader& image = openGLControl.Loader();
    char dimensions[32];
    std::snprintf(dimensions, sizeof dimensions, "%i x %i", int(std::int16_t(image.width)),
                  int(std::int16_t(image.height)));
    dimensionsLabel->setText(dimensions);
    dataSizeLabel->setText(QString::fromStdString(image.GetSizeText()));
    formatLabel->setText(QString::fromStdString(image.GetFormatName()));
    inspectBar->ImageChanged();
    ShowImageInfo();
    UpdateExportImageAs();
    UpdateCompareActions();
    texelReading->Update();
    // What is wrong with the file shown comes before the list's count.
    const std::string& failure = image.LoadFailure();
    const std::shared_ptr<const pictavo::Texture> shown = image.ShownTexture();
    const std::string warning = shown ? shown->info.WarningText() : std::string();
    ShowStatus(!failure.empty() ? failure : !warning.empty() ? warning : ListStatus());
}

void CLumideskDlg::ShowImageInfo() {
    // The colour map's facts, even once its normal map has taken the image object's place.
    const VarnelLoader& loader = openGLControl.Loader();
    const std::shared_ptr<const pictavo::Texture> shown = loader.ShownTexture();
    const pictavo::ImageLocation* where = loader.ShownLocation();
    infoPanel->setPlainText(
        shown && where ? QString::fromStdString(pictavo::ImageInfoText(shown->info, *where))
                       : QString());
}

void CLumideskDlg::OnFilterChange() {
    // The edit holds a single line.
    openGLControl.Loader().FilterList(filterEdit->text().toStdString());
    ShowStatus(ListStatus());
}

void CLumideskDlg::OnRefresh() {
    // Emptying the filter restores the full list before the folder is read again.
    filterEdit->clear();
    VarnelLoader& loader = openGLControl.Loader();
    loader.InvalidateList();
    loader.LoadList();
    ListLoaded();
}

void CLumideskDlg::OnSettings() {
    {
        SettingsDlg settings;
        settings.exec();
    }
    openGLControl.UpdateClearColor();
    openGLControl.UpdateTextColor();
    openGLControl.SetVsync(theSettings.Vsync ? 1 : 0);
    const VarnelLoader& loader = openGLControl.Loader();
    if (loader.IsListLoaded() && loader.GetGame() == theSettings.ActiveGame)
        return;
    LoadActiveGameList();
}

void CLumideskDlg::OnAbout() {
    AboutDlg about;
    about.exec();
}

void CLumideskDlg::OnExport() {
    openGLControl.ExportConverted();
    // The colour map of a merged pair is read again, which may fail this time.
    UpdateExportImageAs();
}

COpenGLControl& CLumideskDlg::View() {
    return openGLControl;
}

bool CLumideskDlg::PreTranslateMessage(const QKeyEvent& key) {
    switch (key.key()) {
    case Qt::Key_F1:
        theSettings.MergeBUMP = !theSettings.MergeBUMP;
        return true;
    case Qt::Key_F2:
        theSettings.embossOn = !theSettings.embossOn;
        return true;
    default:
        return false;
    }
}

bool CLumideskDlg::eventFilter(QObject* watched, QEvent* event) {
    const bool ours = watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this;
    if (ours && event->type() == QEvent::KeyPress)
        return PreTranslateMessage(*static_cast<QKeyEvent*>(event));
    // The filter edit claims Ctrl+E and other control keys for its own editing; the menus'
    // shortcuts work wherever the focus is.
    if (ours && event->type() == QEvent::ShortcutOverride &&
        IsMenuShortcut(*static_cast<QKeyEvent*>(event))) {
        event->ignore();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool CLumideskDlg::IsMenuShortcut(const QKeyEvent& key) const {
    // Plain keys stay with the control that has the focus: the view's letter shortcuts must
    // not keep a name from being typed into the filter.
    const Qt::KeyboardModifiers commands = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (!(key.modifiers() & commands))
        return false;
    const QKeySequence pressed(key.keyCombination());
    for (const QAction* action : menuBar->findChildren<QAction*>()) {
        if (action->isEnabled() && action->shortcuts().contains(pressed))
            return true;
    }
    return false;
}

void CLumideskDlg::keyPressEvent(QKeyEvent* event) {
    // While comparing, Escape ends the comparison rather than the program.
    if (event->key() == Qt::Key_Escape && Comparing()) {
        CloseCompare();
        return;
    }
    // Enter ends the program as Escape does, unless a button takes it first.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CLumideskDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    // The frame timer keeps running; the view skips drawing while minimised.
    theSettings.dialogMinimized = isMinimized();
}

void CLumideskDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    anchors->Apply(size());
}

void CLumideskDlg::closeEvent(QCloseEvent* event) {
    if (initialising)
        endedWhileInitialising = true;
    QDialog::closeEvent(event);
}

void CLumideskDlg::done(int result) {
    if (initialising)
        endedWhileInitialising = true;
    SaveWindowPlace(*this);
    QDialog::done(result);
}
