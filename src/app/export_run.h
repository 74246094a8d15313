#pragma once

#include "app/export_plan.h"
#include "app/export_report.h"
#include "convert/archive_output.h"
#include "convert/convert_settings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

class QWidget;

// Reads a listed image whole: ReadImageBytes, or a test's stand-in.
using ImageReader = std::function<pictavo::Status(const pictavo::ImageLocation& image,
                                                  std::vector<std::uint8_t>& bytes)>;

// Converts the listed images on a worker thread with the converter's batch code, while a
// progress dialog counts them; its Cancel stops after the files in progress, which are
// written whole or not at all. A folder that ends in .iwd or .zip is a mod's archive, which
// gets the images converted until the end or the Cancel, in one rewrite. The summary box
// comes at the end, then Finished().
class ExportRun : public QObject {
    Q_OBJECT

public:
    ExportRun(QWidget* owner, std::vector<pictavo::ImageLocation> images, std::string folder,
              Target target, ImageReader read);
    // Stops the worker and waits for the files in progress.
    ~ExportRun() override;

    // 0: one per core.
    void Start(unsigned jobs = 0);
    QProgressDialog* Progress() const { return progress_; }
    const ExportReport& Report() const { return report_; }

    // For tests: runs on the worker thread after each file, before the progress hears of it.
    std::function<void(std::size_t done)> afterFile;

signals:
    void Finished();

private:
    void OnDelivered(std::size_t index, const FileOutcome& outcome);
    void OnDone();

    QWidget* owner_;
    std::vector<pictavo::ImageLocation> images_;
    std::string folder_;
    Target target_;
    ImageReader read_;
    ArchiveOutput archive_; // when the folder names an archive
    ExportPlan plan_;
    pictavo::Status committed_; // the archive's rewrite
    ExportReport report_;
    QPointer<QProgressDialog> progress_;
    QElapsedTimer clock_;
    std::atomic<bool> stop_{false};
    std::thread worker_;
};
