#include "app/export_listed_dlg.h"

#include "platform/dialog_units.h"
#include "platform/folder_browser.h"
#include "platform/message_box.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using pictavo::PlaceControl;

namespace {

struct ExportType {
    const char* name;
    Target target;
};

constexpr ExportType kTypes[] = {
    {"PNG", Target::kPng}, {"TGA", Target::kTga}, {"DDS", Target::kDds}};

} // namespace

ExportListedDlg::ExportListedDlg(std::vector<pictavo::ImageLocation> images, ImageReader read,
                                 QWidget* parent)
    : QDialog(parent), images_(std::move(images)), read_(std::move(read)) {
    setWindowTitle("Export listed images");
    setFont(pictavo::DialogFont());
    const pictavo::DialogUnits units(font());
    setFixedSize(units.Size(240, 74));
    PlaceControl(
        new QLabel(
            QString("Export the %1 listed images into a folder or an .iwd:").arg(images_.size()),
            this),
        units.Rect(7, 7, 226, 8));
    folder_ = PlaceControl(new QLineEdit(this), units.Rect(7, 18, 208, 12), kFolder);
    QPushButton* browse =
        PlaceControl(new QPushButton("...", this), units.Rect(219, 18, 14, 12), kBrowse);
    PlaceControl(new QLabel("As:", this), units.Rect(7, 37, 20, 8));
    type_ = PlaceControl(new QComboBox(this), units.Rect(30, 35, 50, 12), kType);
    for (const ExportType& type : kTypes) {
        type_->addItem(type.name);
    }
    QPushButton* start =
        PlaceControl(new QPushButton("Export", this), units.Rect(129, 55, 50, 14), kExport);
    start->setDefault(true);
    QPushButton* cancel =
        PlaceControl(new QPushButton("Cancel", this), units.Rect(183, 55, 50, 14));
    connect(browse, &QPushButton::clicked, this, &ExportListedDlg::OnBrowse);
    connect(start, &QPushButton::clicked, this, &ExportListedDlg::OnExport);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

ExportListedDlg::~ExportListedDlg() = default;

void ExportListedDlg::OnBrowse() {
    const std::optional<std::string> chosen = FolderBrowser::Current().ChooseFolder(
        this, "Export the listed images into", folder_->text().toStdString());
    if (chosen) {
        folder_->setText(QString::fromStdString(*chosen));
    }
}

void ExportListedDlg::OnExport() {
    if (run_) {
        return; // one export at a time
    }
    const std::string folder = folder_->text().trimmed().toStdString();
    if (folder.empty()) {
        ShowMessageBox("Export listed images", "Choose the folder to export into.",
                       MessageIcon::Exclamation, this);
        return;
    }
    run_ = std::make_unique<ExportRun>(this, images_, folder, kTypes[type_->currentIndex()].target,
                                       read_);
    connect(run_.get(), &ExportRun::Finished, this, &QDialog::accept);
    run_->Start(jobs);
}

void ExportListed(QWidget* parent, const std::vector<pictavo::ImageLocation>& images) {
    if (images.empty()) {
        ShowMessageBox("Export listed images", "No images are listed.", MessageIcon::Information,
                       parent);
        return;
    }
    ExportListedDlg dialog(images, pictavo::ReadImageBytes, parent);
    dialog.exec();
}
