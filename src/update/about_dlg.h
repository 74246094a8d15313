#pragma once

#include "update/hyperlink.h"

#include <QDialog>

// The About box: our icon, version, a line on what the program does and a link to our site.
class AboutDlg : public QDialog {
    Q_OBJECT

public:
    // Control ids, each kept in the control's "controlId" property.
    enum ControlId {
        kOk = 1,
        kSiteLink = 1005,
    };

    explicit AboutDlg(QWidget* parent = nullptr);

private:
    void BuildControls();

    CHyperlink siteLink;
};
