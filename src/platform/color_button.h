#pragma once

#include <QColor>
#include <QPointer>
#include <QPushButton>
#include <cstdint>
#include <functional>
#include <optional>

namespace pictavo {

class ColorPalette;

// Colours are stored as COLORREF values: 0x00BBGGRR, red in the low byte.
QColor ColorFromColorRef(std::uint32_t colorref);
// Drops the alpha channel; the high byte of the result is always 0.
std::uint32_t ColorRefFromColor(const QColor& color);

} // namespace pictavo

// A button showing a colour; a click drops down a palette to choose another, with an
// "Other..." entry that asks `chooseOther` for any colour.
class ColorButton : public QPushButton {
    Q_OBJECT

public:
    // The chosen colour, or none when the user cancelled.
    using OtherColorChooser =
        std::function<std::optional<QColor>(QWidget* owner, const QColor& initial)>;

    explicit ColorButton(QWidget* parent = nullptr);

    // The high byte is ignored. Setting the colour from code emits nothing.
    void SetColor(std::uint32_t colorref);
    std::uint32_t GetColor() const { return colorref_; }

    // Drops the palette down, as a click does.
    void ShowPalette();
    // The palette while it is open, otherwise nullptr.
    pictavo::ColorPalette* OpenPalette() const;

    // Asked by "Other..."; the standard colour dialog unless replaced.
    OtherColorChooser chooseOther;

signals:
    // The user chose a colour different from the one shown.
    void colorChanged(std::uint32_t colorref);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Choose(std::uint32_t colorref);
    void ChooseOther();

    std::uint32_t colorref_ = 0;
    QPointer<pictavo::ColorPalette> palette_;
};
