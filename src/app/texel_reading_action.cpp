#include "app/texel_reading_action.h"

#include "view/opengl_control.h"

#include <QAction>
#include <QMenu>
#include <QSignalBlocker>
#include <utility>

namespace {

bool ShowsCutTexels(const VarnelLoader& loader) {
    const std::shared_ptr<const pictavo::Texture> shown = loader.ShownTexture();
    return shown && shown->info.cutTexels != pictavo::CutTexels::kNone;
}

} // namespace

TexelReadingAction::TexelReadingAction(QMenu& menu, COpenGLControl& view,
                                       std::function<void()> shown, QObject* parent)
    : QObject(parent), view_(view), shown_(std::move(shown)),
      action_(menu.addAction("Read as 4-Byte &Texels")) {
    action_->setObjectName("viewReadAs4ByteTexels");
    action_->setCheckable(true);
    action_->setEnabled(false);
    connect(action_, &QAction::toggled, this, &TexelReadingAction::Toggled);
}

void TexelReadingAction::Update() {
    const QSignalBlocker quiet(action_);
    action_->setEnabled(ShowsCutTexels(view_.Loader()));
    action_->setChecked(view_.Loader().readOptions.fourByteTexels);
}

void TexelReadingAction::Toggled(bool on) {
    view_.Loader().readOptions.fourByteTexels = on;
    if (ShowsCutTexels(view_.Loader())) {
        view_.ReloadShown();
        shown_();
    }
}
