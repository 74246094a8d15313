// The main window's comparisons: the image shown against another picked in the list, a
// file, its own previous version on disk, or another of its levels.
#include "app/file_chooser.h"
#include "app/lumidesk_dlg.h"
#include "compare/compare_panel.h"
#include "platform/message_box.h"

#include <QAction>
#include <QFileInfo>
#include <QGridLayout>
#include <QListWidget>
#include <QMenu>

namespace {

constexpr char kCompareCaption[] = "Varnel Pictavo";
constexpr char kCompareFilter[] =
    "Images (*.iwi *.IWI *.dds *.DDS *.png *.PNG *.tga *.TGA *.jpg *.jpeg *.bmp *.psd);;"
    "All files (*)";

} // namespace

void CLumideskDlg::BuildCompare(QGridLayout& viewStack) {
    comparePanel = new ComparePanel([this](const std::string& text) { ShowStatus(text); },
                                    [this] { CloseCompare(); }, viewFrame);
    comparePanel->hide();
    viewStack.addWidget(comparePanel, 0, 0);

    QMenu* compare = viewMenu->addMenu("&Compare");
    const auto add = [this, compare](const char* text, void (CLumideskDlg::*slot)(),
                                     const QKeySequence& shortcut = QKeySequence()) {
        QAction* action = compare->addAction(text);
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, slot);
        compareActions.push_back(action);
        return action;
    };
    add("With the &List's Next Selection", &CLumideskDlg::OnCompareWithSelection,
        QKeySequence("Ctrl+K"));
    add("With a &File...", &CLumideskDlg::OnCompareWithFile);
    comparePrevious = add("With Its &Previous Version", &CLumideskDlg::OnCompareWithPrevious);
    add("Its Mip &Levels", &CLumideskDlg::OnCompareLevels);
    connect(compare, &QMenu::aboutToShow, this, &CLumideskDlg::UpdateCompareActions);
    UpdateCompareActions();
}

void CLumideskDlg::UpdateCompareActions() {
    for (QAction* action : compareActions)
        action->setEnabled(ImageShown());
    comparePrevious->setEnabled(ImageShown() && reload->PreviousVersion() != nullptr);
}

bool CLumideskDlg::Comparing() const {
    return comparePanel->isVisible();
}

pictavo::CompareSide CLumideskDlg::ShownSide() {
    const VarnelLoader& loader = openGLControl.Loader();
    pictavo::CompareSide side;
    const pictavo::ImageLocation* where = loader.ShownLocation();
    side.name = where ? where->name : "image";
    side.texture = loader.ShownTexture();
    return side;
}

void CLumideskDlg::StartCompare(pictavo::CompareSide other, std::uint32_t otherLevel) {
    if (!ImageShown())
        return;
    comparePanel->Compare(ShownSide(), std::uint32_t(openGLControl.Level()), std::move(other),
                          otherLevel, std::uint32_t(openGLControl.CubeFace()));
    comparePanel->show();
    comparePanel->raise();
    comparePanel->View().setFocus();
}

void CLumideskDlg::OnCompareWithSelection() {
    StartCompare({}, 0);
}

void CLumideskDlg::OnCompareWithFile() {
    const std::vector<std::string> paths =
        FileChooser::Current().ChooseFilesToOpen(this, "Compare With", kCompareFilter);
    if (paths.empty())
        return;
    pictavo::ImageLocation where;
    where.filePath = paths.front();
    where.name = QFileInfo(QString::fromStdString(where.filePath)).fileName().toStdString();
    pictavo::Result<pictavo::CompareSide> other = pictavo::ReadCompareSide(where);
    if (!other) {
        ShowMessageBox(kCompareCaption, other.error().text, MessageIcon::Exclamation, this);
        return;
    }
    if (Comparing())
        comparePanel->CompareWith(std::move(other).value());
    else
        StartCompare(std::move(other).value(), 0);
}

void CLumideskDlg::OnCompareWithPrevious() {
    pictavo::CompareSide previous = ShownSide();
    previous.texture = reload->PreviousVersion();
    if (!previous.texture)
        return;
    previous.name += " (before)";
    StartCompare(std::move(previous), std::uint32_t(openGLControl.Level()));
}

void CLumideskDlg::OnCompareLevels() {
    StartCompare(ShownSide(), std::uint32_t(openGLControl.Level() + 1));
}

void CLumideskDlg::CompareWithSelected() {
    const std::optional<std::string> selected = imageListBox->SelectedText();
    const pictavo::ListedImage* listed =
        selected ? openGLControl.Loader().FindListed(*selected) : nullptr;
    if (listed == nullptr)
        return;
    pictavo::Result<pictavo::CompareSide> other = pictavo::ReadCompareSide(listed->where);
    if (!other) {
        ShowStatus(other.error().text);
        return;
    }
    comparePanel->CompareWith(std::move(other).value());
}

void CLumideskDlg::CloseCompare() {
    comparePanel->hide();
    // The view shows what the list highlights, such as the last entry compared with.
    const std::optional<std::string> selected = imageListBox->SelectedText();
    if (selected && !openGLControl.Loader().IsShown(*selected)) {
        OnListSelChange();
        return;
    }
    ShowStatus(ListStatus());
}
