#include "app/compare_feature.h"

#include "app/file_chooser.h"
#include "app/shown_file_reload.h"
#include "compare/compare_panel.h"
#include "platform/list_box.h"
#include "platform/message_box.h"
#include "platform/open_filters.h"
#include "view/opengl_control.h"

#include <QAction>
#include <QFileInfo>
#include <QGridLayout>
#include <QMenu>

namespace {

constexpr char kCompareCaption[] = "Varnel Pictavo";

} // namespace

CompareFeature::CompareFeature(COpenGLControl& view, const ListBox& list,
                               const ShownFileReload& reload, CompareSeam seam,
                               QGridLayout& viewPlace)
    : view_(view), list_(list), reload_(reload), seam_(std::move(seam)),
      panel_(std::make_unique<ComparePanel>(
          seam_.showStatus, [this] { Close(); }, viewPlace.parentWidget())) {
    panel_->hide();
    viewPlace.addWidget(panel_.get(), 0, 0);
}

CompareFeature::~CompareFeature() = default;

void CompareFeature::AddActions(QMenu& menu) {
    QMenu* compare = menu.addMenu("&Compare");
    const auto add = [this, compare](const char* text, void (CompareFeature::*slot)(),
                                     const QKeySequence& shortcut = QKeySequence()) {
        QAction* action = compare->addAction(text);
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, slot);
        actions_.push_back(action);
        return action;
    };
    add("With the &List's Next Selection", &CompareFeature::WithSelection, QKeySequence("Ctrl+K"));
    add("With a &File...", &CompareFeature::WithFile);
    previous_ = add("With Its &Previous Version", &CompareFeature::WithPrevious);
    add("Its Mip &Levels", &CompareFeature::Levels);
    connect(compare, &QMenu::aboutToShow, this, &CompareFeature::UpdateActions);
    UpdateActions();
}

void CompareFeature::UpdateActions() {
    for (QAction* action : actions_)
        action->setEnabled(ImageShown());
    if (previous_ != nullptr)
        previous_->setEnabled(ImageShown() && reload_.PreviousVersion() != nullptr);
}

bool CompareFeature::Comparing() const {
    return panel_->isVisible();
}

bool CompareFeature::ImageShown() const {
    return view_.Loader().ShownTexture() != nullptr;
}

pictavo::CompareSide CompareFeature::ShownSide() const {
    const VarnelLoader& loader = view_.Loader();
    pictavo::CompareSide side;
    const pictavo::ImageLocation* where = loader.ShownLocation();
    side.name = where ? where->name : "image";
    side.texture = loader.ShownTexture();
    return side;
}

void CompareFeature::Start(pictavo::CompareSide other, std::uint32_t otherLevel) {
    if (!ImageShown())
        return;
    panel_->Compare(ShownSide(), std::uint32_t(view_.Level()), std::move(other), otherLevel,
                    std::uint32_t(view_.CubeFace()));
    panel_->show();
    panel_->raise();
    panel_->View().setFocus();
}

void CompareFeature::WithSelection() {
    Start({}, 0);
}

void CompareFeature::WithFile() {
    QWidget* window = panel_->window();
    const std::vector<std::string> paths = FileChooser::Current().ChooseFilesToOpen(
        window, "Compare With", pictavo::CompareFileFilter());
    if (paths.empty())
        return;
    pictavo::ImageLocation where;
    where.filePath = paths.front();
    where.name = QFileInfo(QString::fromStdString(where.filePath)).fileName().toStdString();
    pictavo::Result<pictavo::CompareSide> other = pictavo::ReadCompareSide(where);
    if (!other) {
        ShowMessageBox(kCompareCaption, other.error().text, MessageIcon::Exclamation, window);
        return;
    }
    if (Comparing())
        panel_->CompareWith(std::move(other).value());
    else
        Start(std::move(other).value(), 0);
}

void CompareFeature::WithPrevious() {
    pictavo::CompareSide previous = ShownSide();
    previous.texture = reload_.PreviousVersion();
    if (!previous.texture)
        return;
    previous.name += " (before)";
    Start(std::move(previous), std::uint32_t(view_.Level()));
}

void CompareFeature::Levels() {
    Start(ShownSide(), std::uint32_t(view_.Level() + 1));
}

void CompareFeature::CompareWithSelected() {
    const std::optional<std::string> selected = list_.SelectedText();
    const pictavo::ListedImage* listed = selected ? view_.Loader().FindListed(*selected) : nullptr;
    if (listed == nullptr)
        return;
    pictavo::Result<pictavo::CompareSide> other = pictavo::ReadCompareSide(listed->where);
    if (!other) {
        seam_.showStatus(other.error().text);
        return;
    }
    panel_->CompareWith(std::move(other).value());
}

void CompareFeature::Close() {
    panel_->hide();
    // The view shows what the list highlights, such as the last entry compared with.
    const std::optional<std::string> selected = list_.SelectedText();
    if (selected && !view_.Loader().IsShown(*selected))
        seam_.showListChoice();
    else
        seam_.showListStatus();
}
