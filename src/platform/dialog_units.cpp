#include "platform/dialog_units.h"

namespace pictavo {

QFont DialogFont() {
    return QFont(QStringLiteral("MS Shell Dlg"), 8);
}

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // Rounded to the nearest pixel, from the width of the 52 letters.
    const int letters =
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    averageWidth_ = (letters / 26 + 1) / 2;
    height_ = metrics.height();
}

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
    return QRect(Across(x), Down(y), Across(width), Down(height));
}

QSize DialogUnits::Size(int width, int height) const {
    return QSize(Across(width), Down(height));
}

} // namespace pictavo
