#pragma once

#include <QFontMetrics>
#include <QRect>

namespace pictavo {

// Dialog layouts are given in dialog units: a quarter of the font's average character width
// across, an eighth of its height down.
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

} // namespace pictavo
