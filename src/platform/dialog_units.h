#pragma once

#include <QFontMetrics>
#include <QRect>
#include <QVariant>
#include <QWidget>

namespace pictavo {

// Dialog layouts are given in dialog units: a quarter of the font's average character width
// across, an eighth of its height down. The average is taken over the letters of the
// alphabet, as dialog templates were laid out for, so that texts fit whatever face stands
// in for the one the layout was made with.
// The font every dialog of the program is laid out with.
QFont DialogFont();

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    QRect Rect(int x, int y, int width, int height) const;
    QSize Size(int width, int height) const;

private:
    int Across(int units) const { return units * averageWidth_ / 4; }
    int Down(int units) const { return units * height_ / 8; }

    int averageWidth_;
    int height_;
};

// Dialog controls keep their numeric id in this property.
inline constexpr char kControlIdProperty[] = "controlId";
inline constexpr int kNoControlId = -1;

// Puts a control at a rectangle of its dialog and gives it its id.
template <class Control>
Control* PlaceControl(Control* control, const QRect& rect, int id = kNoControlId) {
    control->setGeometry(rect);
    if (id != kNoControlId)
        control->setProperty(kControlIdProperty, id);
    return control;
}

// The control of `dialog` with `id`, or nullptr.
template <class Control> Control* FindControl(const QWidget& dialog, int id) {
    for (Control* child : dialog.findChildren<Control*>()) {
        const QVariant controlId = child->property(kControlIdProperty);
        if (controlId.isValid() && controlId.toInt() == id)
            return child;
    }
    return nullptr;
}

} // namespace pictavo
