#include "update/about_dlg.h"

#include "platform/app_icon.h"
#include "platform/dialog_units.h"
#include "settings/app_settings.h"
#include "update/site_link.h"

#include <QPushButton>

namespace {

constexpr char kMakersNotice[] = "A Pictavo project release";
constexpr char kDescription[] =
    "Pictavo views the IWI images of Cod4, Cod5, MW2, BO and MW3 quickly and easily.";

using pictavo::PlaceControl;

QLabel* TextLabel(QWidget* dialog, const QString& text, QRect rect) {
    QLabel* label = PlaceControl(new QLabel(text, dialog), rect);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

AboutDlg::AboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      siteLink(this) {
    setWindowTitle("About Pictavo");
    setWindowIcon(AppIcon());
    setFont(pictavo::DialogFont());
    BuildControls();
}

void AboutDlg::BuildControls() {
    const pictavo::DialogUnits units(font());
    setFixedSize(units.Size(235, 103));

    const QRect iconRect = units.Rect(11, 17, 20, 20);
    QLabel* icon = PlaceControl(new QLabel(this), iconRect);
    icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    icon->setPixmap(AppIcon().pixmap(iconRect.size()));

    TextLabel(this, QStringLiteral("Version ") + kPictavoVersion, units.Rect(40, 10, 119, 8));
    TextLabel(this, kMakersNotice, units.Rect(40, 25, 119, 8));
    TextLabel(this, kDescription, units.Rect(40, 42, 174, 19))->setWordWrap(true);
    TextLabel(this, "Site:", units.Rect(40, 68, 24, 8));

    siteLink.setText(pictavo::kSiteName);
    // The link font is taller and wider than the dialog's: grow the control to show all of it.
    QRect linkRect = units.Rect(59, 68, 65, 8);
    linkRect.setSize(linkRect.size().expandedTo(siteLink.sizeHint()));
    PlaceControl(&siteLink, linkRect, kSiteLink);
    siteLink.PreSubclassWindow();

    QPushButton* ok = PlaceControl(new QPushButton("OK", this), units.Rect(177, 83, 50, 16), kOk);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
