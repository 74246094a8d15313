#include "update/hyperlink.h"

#include "platform/shell_opener.h"
#include "update/site_link.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

const QColor kLinkBlue(0, 0, 255);

QFont MakeLinkFont() {
    // Where Tahoma is missing, the font matcher picks the closest face installed.
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(15);
    font.setWeight(QFont::Thin);
    font.setUnderline(true);
    // A painter takes what a font leaves unset from the widget's font. Mark all of it set, so
    // the link stays upright, unstruck and plainly spaced whatever font the label was given.
    font.setResolveMask(QFont::AllPropertiesResolved);
    return font;
}

} // namespace

CHyperlink::CHyperlink(QWidget* parent)
    : QLabel(parent), linkFont(MakeLinkFont()), url(pictavo::kSiteUrl) {}

void CHyperlink::PreSubclassWindow() {
    if (!testAttribute(Qt::WA_SetCursor))
        setCursor(Qt::PointingHandCursor);
}

QSize CHyperlink::sizeHint() const {
    return QFontMetrics(linkFont).size(0, text());
}

void CHyperlink::paintEvent(QPaintEvent*) {
    OnPaint();
}

void CHyperlink::OnPaint() {
    QPainter painter(this);
    painter.setFont(linkFont);
    painter.setPen(kLinkBlue);
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop, text());
}

void CHyperlink::mouseReleaseEvent(QMouseEvent* event) {
    OnLButtonUp(*event);
    QLabel::mouseReleaseEvent(event);
}

void CHyperlink::OnLButtonUp(const QMouseEvent& event) {
    // The release comes to the control that saw the press, wherever the pointer is now.
    if (event.button() != Qt::LeftButton || !rect().contains(event.position().toPoint()))
        return;
    ShellOpener::Current().Open(url);
}
