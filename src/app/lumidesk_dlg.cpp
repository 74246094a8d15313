#include "app/lumidesk_dlg.h"

#include "app/loader_listing.h"
#include "app/settings_dlg.h"
#include "app/texel_reading_action.h"
#include "app/window_place.h"
#include "grid/thumbnail_grid.h"
#include "imagelist/image_info_text.h"
#include "platform/app_icon.h"
#include "platform/dialog_units.h"
#include "platform/repaint_now.h"
#include "platform/start_folders.h"
#include "settings/app_settings.h"
#include "update/about_dlg.h"
#include "view/inspect_bar.h"
#include "view/texel_readout.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <cstdint>
#include <cstdio>

using pictavo::PlaceControl;

namespace {

// The labels' texts while no image of the user's is shown.
constexpr char kNoDataSize[] = "0x0";
constexpr char kNoFormat[] = "-";
constexpr char kNoDimensions[] = "0 x 0";
// Where the list's column starts, in dialog units.
constexpr int kColumnLeft = 301;

} // namespace

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
    WireFeatures();
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
    const QSize dialog = units.Size(619, 301);

    // The view's place and the list's column, side by side; the user may widen the column.
    splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setGeometry(QRect(QPoint(0, top), units.Size(619, 300)));
    splitter->setChildrenCollapsible(false);
    viewFrame = PlaceControl(new QWidget(splitter), {}, kViewFrame);
    viewStack = new QGridLayout(viewFrame);
    viewStack->setContentsMargins(0, 0, 0, 0);
    // Set, so the compare panel's bar asks no width of the splitter.
    viewFrame->setMinimumSize(units.Size(80, 60));
    column = new QWidget(splitter);
    // The column's controls in its own coordinates: the list starts at its left edge.
    const auto at = [&units](int x, int y, int width, int height) {
        return units.Rect(x - kColumnLeft, y, width, height);
    };

    imageList = PlaceControl(new QListWidget(column), at(301, 0, 163, 224), kImageList);
    imageList->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    imageList->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    imageListBox = std::make_unique<QtListBox>(*imageList);
    filterEdit = PlaceControl(new QLineEdit(column), at(301, 285, 163, 15), kFilter);

    auto* settings =
        PlaceControl(new QPushButton("Settings", column), at(306, 232, 38, 14), kSettings);
    auto* refresh =
        PlaceControl(new QPushButton("Refresh", column), at(345, 232, 41, 14), kRefresh);
    auto* about = PlaceControl(new QPushButton("About", column), at(388, 232, 35, 14), kAbout);
    exportButton = PlaceControl(new QPushButton("Export", column), at(424, 232, 36, 14), kExport);

    // Each caption may run up to the label it names.
    PlaceControl(new QLabel("Size:", column), at(306, 255, 24, 8));
    dataSizeLabel = PlaceControl(new QLabel(kNoDataSize, column), at(331, 255, 55, 8), kDataSize);
    PlaceControl(new QLabel("Format:", column), at(306, 270, 28, 8));
    formatLabel = PlaceControl(new QLabel(kNoFormat, column), at(335, 271, 125, 8), kFormat);
    PlaceControl(new QLabel("Size:", column), at(388, 255, 18, 8));
    dimensionsLabel =
        PlaceControl(new QLabel(kNoDimensions, column), at(407, 255, 53, 8), kDimensions);

    infoPanel = PlaceControl(new QPlainTextEdit(column), at(467, 0, 150, 300), kInfoPanel);
    infoPanel->setReadOnly(true);
    // Long paths break anywhere rather than run out of sight.
    infoPanel->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    infoPanel->setPlaceholderText("No image loaded");

    // Widened, the list, the filter and the format take the width, the info panel keeps to
    // the right edge and the buttons stay under the list's left end; taller, the list and the
    // info panel take the height.
    const QSize columnSize = units.Size(619 - kColumnLeft, 300);
    column->setMinimumWidth(columnSize.width());
    column->installEventFilter(this);
    columnAnchors = std::make_unique<WindowAnchors>(columnSize);
    columnAnchors->Anchor(imageList, kAnchorAll);
    columnAnchors->Anchor(infoPanel, kAnchorTop | kAnchorRight | kAnchorBottom);
    columnAnchors->Anchor(filterEdit, kAnchorLeft | kAnchorRight | kAnchorBottom);
    columnAnchors->Anchor(formatLabel, kAnchorLeft | kAnchorRight | kAnchorBottom);
    for (QWidget* control : column->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control->y() > imageList->geometry().bottom() && control != filterEdit &&
            control != formatLabel)
            columnAnchors->Anchor(control, kAnchorLeft | kAnchorBottom);
    }
    const int handle = splitter->handleWidth();
    splitter->setSizes({splitter->width() - columnSize.width() - handle, columnSize.width()});
    splitter->setStretchFactor(0, 1); // a larger window widens the view alone
    splitter->setStretchFactor(1, 0);

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
    anchors->Anchor(splitter, kAnchorAll);
    anchors->Anchor(inspectBar, kAnchorLeft | kAnchorRight | kAnchorBottom);
    anchors->Anchor(statusLine, kAnchorLeft | kAnchorRight | kAnchorBottom);

    connect(settings, &QPushButton::clicked, this, &CLumideskDlg::OnSettings);
    connect(refresh, &QPushButton::clicked, this, &CLumideskDlg::OnRefresh);
    connect(about, &QPushButton::clicked, this, &CLumideskDlg::OnAbout);
    connect(exportButton, &QPushButton::clicked, this, &CLumideskDlg::OnExport);
    connect(filterEdit, &QLineEdit::textChanged, this, &CLumideskDlg::OnFilterChange);
    connect(imageList, &QListWidget::itemSelectionChanged, this, &CLumideskDlg::OnListSelChange);
    UpdateExportActions(); // the start-up picture is no image of the user's
}

void CLumideskDlg::WireFeatures() {
    reload = std::make_unique<ShownFileReload>(openGLControl, [this](const std::string& note) {
        ShowImageFacts();
        ShowStatus(note);
    });
    openGLControl.SetTexelListener([this](const std::optional<TexelReadout>& readout) {
        statusLine->setText(
            QString::fromStdString(readout ? FormatTexelReadout(*readout) : listStatus));
    });
    for (QAction* action : inspectBar->Actions())
        viewMenu->addAction(action);

    // The grid and the compare panel stand in the view's place, which each takes while on.
    thumbnailGrid =
        new ThumbnailGrid(*imageList, std::make_unique<LoaderListing>(openGLControl.Loader()),
                          ThumbnailGrid::UserSettings(), viewFrame);
    viewStack->addWidget(thumbnailGrid, 0, 0);
    thumbnailGrid->AddActions(*viewMenu);
    texelReading = new TexelReadingAction(
        *viewMenu, openGLControl, [this] { ShowImageFacts(); }, this);
    viewMenu->addSeparator();

    compare = std::make_unique<CompareFeature>(
        openGLControl, *imageListBox, *reload,
        CompareSeam{.showStatus = [this](const std::string& text) { ShowStatus(text); },
                    .showListChoice = [this] { OnListSelChange(); },
                    .showListStatus = [this] { ShowStatus(ListStatus()); }},
        *viewStack);
    compare->AddActions(*viewMenu);

    material = std::make_unique<MaterialFeature>(
        openGLControl,
        MaterialSeam{.showStatus = [this](const std::string& text) { ShowStatus(text); },
                     .showInfo = [this] { ShowImageInfo(); },
                     .showMode = [this] { inspectBar->ImageChanged(); }},
        this);
    material->AddActions(*viewMenu);
    inspectBar->OnModeShown([this] { material->ModeShown(); });
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

    pictavo::StartFolders::Program().SetGameFolder([] {
        const std::string* folder = theSettings.GamePath(theSettings.ActiveGame);
        return folder != nullptr ? *folder : std::string();
    });

    RestoreWindowPlace(*this, *splitter);
    openGLControl.Create(viewFrame->rect(), viewFrame);
    viewStack->addWidget(&openGLControl, 0, 0);
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
    if (compare->Comparing()) {
        compare->CompareWithSelected();
        return;
    }
    openGLControl.LoadSelected();
    ShowImageFacts();
    reload->Follow();
}

void CLumideskDlg::ShowImageFacts() {
    openGLControl.ApplyAspectScale();
    const VarnelLoader& image = openGLControl.Loader();
    if (ImageShown()) {
        char dimensions[32];
        std::snprintf(dimensions, sizeof dimensions, "%i x %i", int(std::int16_t(image.width)),
                      int(std::int16_t(image.height)));
        dimensionsLabel->setText(dimensions);
        dataSizeLabel->setText(QString::fromStdString(image.GetSizeText()));
        formatLabel->setText(QString::fromStdString(image.GetFormatName()));
    } else {
        // A failed load leaves nothing shown: the labels as before any file.
        dimensionsLabel->setText(kNoDimensions);
        dataSizeLabel->setText(kNoDataSize);
        formatLabel->setText(kNoFormat);
    }
    inspectBar->ImageChanged();
    material->ImageChanged();
    ShowImageInfo();
    UpdateExportActions();
    compare->UpdateActions();
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
        shown && where ? QString::fromStdString(pictavo::ImageInfoText(shown->info, *where) +
                                                material->InfoText())
                       : QString());
}

void CLumideskDlg::OnFilterChange() {
    // The edit holds a single line.
    openGLControl.Loader().FilterList(filterEdit->text().toStdString());
    ShowStatus(ListStatus());
}

void CLumideskDlg::OnFilterEnter() {
    imageList->setFocus();
    // The first match is shown unless a listed entry is chosen already.
    const QListWidgetItem* current = imageList->currentItem();
    if (imageList->count() > 0 && (current == nullptr || !current->isSelected()))
        imageList->setCurrentRow(0);
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
    UpdateExportActions();
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
    if (ours && event->type() == QEvent::KeyPress) {
        const auto& key = *static_cast<QKeyEvent*>(event);
        if (PreTranslateMessage(key))
            return true;
        // Enter ends a filter, not the program.
        if (watched == filterEdit && (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter)) {
            OnFilterEnter();
            return true;
        }
        return false;
    }
    if (watched == column && event->type() == QEvent::Resize)
        columnAnchors->Apply(column->size());
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
    if (event->key() == Qt::Key_Escape && compare->Comparing()) {
        compare->Close();
        return;
    }
    // Enter ends the program as Escape does, unless a button or the filter takes it first.
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
    SaveWindowPlace(*this, *splitter);
    QDialog::done(result);
}
