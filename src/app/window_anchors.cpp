#include "app/window_anchors.h"

#include <algorithm>

namespace {

// One axis: the start and length of a span anchored to its near edge, its far edge or both.
void Follow(int& start, int& length, bool near, bool far, int growth) {
    if (near && far) {
        length = std::max(length + growth, 0);
    } else if (far) {
        start += growth;
    }
}

} // namespace

QRect AnchoredRect(const QRect& base, int edges, QSize growth) {
    int x = base.x();
    int width = base.width();
    int y = base.y();
    int height = base.height();
    Follow(x, width, edges & kAnchorLeft, edges & kAnchorRight, growth.width());
    Follow(y, height, edges & kAnchorTop, edges & kAnchorBottom, growth.height());
    return {x, y, width, height};
}

void WindowAnchors::Anchor(QWidget* widget, const QRect& base, int edges) {
    anchored_.push_back({widget, base, edges});
}

void WindowAnchors::Apply(QSize size) const {
    const QSize growth = size - layoutSize_;
    for (const Anchored& control : anchored_) {
        if (control.widget)
            control.widget->setGeometry(AnchoredRect(control.base, control.edges, growth));
    }
}
