#pragma once

#include "app/export_run.h"

#include <QDialog>
#include <memory>
#include <vector>

class QComboBox;
class QLineEdit;

// Asks where (a folder, or a mod's .iwd typed in) and as what the listed images go (PNG, TGA
// or DDS), then exports them all with a progress dialog and closes after the summary. Files already
// in the folder are kept and their images skipped, as texconv and pictavo-convert do unless told to
// replace them.
class ExportListedDlg : public QDialog {
    Q_OBJECT

public:
    enum ControlId {
        kFolder = 1,
        kBrowse = 2,
        kType = 3,
        kExport = 4,
    };

    ExportListedDlg(std::vector<pictavo::ImageLocation> images, ImageReader read,
                    QWidget* parent = nullptr);
    ~ExportListedDlg() override;

    // The export under way, if any; 0 jobs: one per core.
    ExportRun* Run() const { return run_.get(); }
    unsigned jobs = 0;

private:
    void OnBrowse();
    void OnExport();

    std::vector<pictavo::ImageLocation> images_;
    ImageReader read_;
    QLineEdit* folder_;
    QComboBox* type_;
    std::unique_ptr<ExportRun> run_;
};

// File > Export listed...: the dialog over every listed image, read from its file or its
// archive.
void ExportListed(QWidget* parent, const std::vector<pictavo::ImageLocation>& images);
