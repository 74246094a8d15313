#pragma once

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <vector>

// The edges of its window a control keeps its distance from as the window grows or shrinks:
// anchored to one edge of a pair it moves with that edge, to both it stretches, to neither
// it stays where it was placed.
enum AnchorEdge : int {
    kAnchorLeft = 1,
    kAnchorTop = 2,
    kAnchorRight = 4,
    kAnchorBottom = 8,
    kAnchorAll = kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom,
};

// Where a control placed at `base` in a window of the layout's own size stands once the
// window has grown by `growth` (negative: shrunk).
QRect AnchoredRect(const QRect& base, int edges, QSize growth);

// The controls of a window laid out at one size, kept anchored as the window changes size.
class WindowAnchors {
public:
    // `layoutSize`: the window's size that the controls' places were chosen for.
    explicit WindowAnchors(QSize layoutSize) : layoutSize_(layoutSize) {}

    // `widget` stands at `base` at the layout's size.
    void Anchor(QWidget* widget, const QRect& base, int edges);
    void Anchor(QWidget* widget, int edges) { Anchor(widget, widget->geometry(), edges); }
    // Places every control for a window of `size`.
    void Apply(QSize size) const;

private:
    struct Anchored {
        QPointer<QWidget> widget;
        QRect base;
        int edges;
    };
    QSize layoutSize_;
    std::vector<Anchored> anchored_;
};
