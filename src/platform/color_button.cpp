#include "platform/color_button.h"

#include "platform/color_palette.h"

#include <QColorDialog>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace pictavo {

QColor ColorFromColorRef(std::uint32_t colorref) {
    return QColor(int(colorref & 0xFF), int(colorref >> 8 & 0xFF), int(colorref >> 16 & 0xFF));
}

std::uint32_t ColorRefFromColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return std::uint32_t(rgb.red()) | std::uint32_t(rgb.green()) << 8 |
           std::uint32_t(rgb.blue()) << 16;
}

} // namespace pictavo

namespace {

std::optional<QColor> AskColorDialog(QWidget* owner, const QColor& initial) {
    const QColor chosen = QColorDialog::getColor(initial, owner);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

} // namespace

ColorButton::ColorButton(QWidget* parent) : QPushButton(parent), chooseOther(AskColorDialog) {
    connect(this, &QPushButton::clicked, this, &ColorButton::ShowPalette);
}

void ColorButton::SetColor(std::uint32_t colorref) {
    colorref_ = colorref & 0x00FFFFFFu;
    update();
}

pictavo::ColorPalette* ColorButton::OpenPalette() const {
    return palette_ && palette_->isVisible() ? palette_.data() : nullptr;
}

void ColorButton::ShowPalette() {
    if (OpenPalette())
        return;
    palette_ = new pictavo::ColorPalette(colorref_, this);
    palette_->setAttribute(Qt::WA_DeleteOnClose);
    connect(palette_, &pictavo::ColorPalette::picked, this, &ColorButton::Choose);
    connect(palette_, &pictavo::ColorPalette::otherRequested, this, &ColorButton::ChooseOther);
    const QRect anchor(mapToGlobal(QPoint(0, 0)), size());
    // The client rectangle, as a popup has no frame to place.
    const QSize popupSize = palette_->size();
    palette_->setGeometry(QRect(
        pictavo::DropDownPosition(anchor, popupSize, screen()->availableGeometry()), popupSize));
    palette_->show();
    palette_->setFocus(Qt::PopupFocusReason);
}

void ColorButton::Choose(std::uint32_t colorref) {
    const std::uint32_t previous = colorref_;
    SetColor(colorref);
    if (colorref_ != previous)
        emit colorChanged(colorref_);
}

void ColorButton::ChooseOther() {
    if (!chooseOther)
        return;
    if (const std::optional<QColor> chosen =
            chooseOther(this, pictavo::ColorFromColorRef(colorref_));
        chosen && chosen->isValid())
        Choose(pictavo::ColorRefFromColor(*chosen));
}

void ColorButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButton, option);

    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const int arrowWidth = style()->pixelMetric(QStyle::PM_MenuButtonIndicator, &option, this);
    // Inset so that the style's focus frame stays visible around the swatch.
    const QRect swatch = contents.adjusted(2, 2, -arrowWidth - 2, -2);
    painter.fillRect(swatch, pictavo::ColorFromColorRef(colorref_));
    painter.setPen(palette().color(isEnabled() ? QPalette::WindowText : QPalette::Mid));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));

    QStyleOption arrow = option;
    arrow.rect = QRect(swatch.right() + 1, contents.top(), contents.right() - swatch.right(),
                       contents.height());
    painter.drawPrimitive(QStyle::PE_IndicatorArrowDown, arrow);
}
