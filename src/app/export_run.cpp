#include "app/export_run.h"

#include "convert/convert_batch.h"
#include "platform/message_box.h"

#include <QProgressDialog>
#include <algorithm>
#include <utility>

namespace {

// Where the images go: the folder, or the archive's entries. An archive that cannot be opened
// refuses every image with its reason.
ExportPlan PlanInto(const std::vector<pictavo::ImageLocation>& images, const std::string& folder,
                    const char* extension, ArchiveOutput& archive) {
    if (!IsArchiveOutput(folder)) {
        return PlanExport(images, folder, extension);
    }
    const pictavo::Status opened = archive.Open(folder);
    ExportPlan plan = PlanExport(images, opened ? archive.StagingFolder() : folder, extension);
    if (!opened) {
        for (PlannedFile& file : plan.files) {
            file.refusal = opened.error().text;
        }
        return plan;
    }
    plan.files = archive.Take(std::move(plan.files));
    return plan;
}

} // namespace

ExportRun::ExportRun(QWidget* owner, std::vector<pictavo::ImageLocation> images, std::string folder,
                     Target target, ImageReader read)
    : owner_(owner), images_(std::move(images)), folder_(std::move(folder)), target_(target),
      read_(std::move(read)),
      plan_(PlanInto(images_, folder_, OutputExtension(target, {}), archive_)) {}

ExportRun::~ExportRun() {
    stop_ = true;
    if (worker_.joinable()) {
        worker_.join();
    }
    delete progress_;
}

void ExportRun::Start(unsigned jobs) {
    const int total = static_cast<int>(images_.size());
    progress_ = new QProgressDialog(QString("Exporting %1 images...").arg(total), "Cancel", 0,
                                    total, owner_);
    progress_->setWindowTitle("Export listed images");
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setMinimumDuration(0);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    connect(progress_, &QProgressDialog::canceled, this, [this] { stop_ = true; });
    progress_->show();
    clock_.start();

    ConvertSettings settings;
    settings.target = target_;
    BatchRun run;
    run.jobs = jobs;
    run.read = [this](std::size_t i, std::vector<std::uint8_t>& bytes) {
        return read_(images_[i], bytes);
    };
    run.deliver = [this](std::size_t i, const FileOutcome& outcome) {
        archive_.Delivered(i, outcome.status == FileOutcome::Status::kConverted);
        if (afterFile) {
            afterFile(i + 1);
        }
        QMetaObject::invokeMethod(
            this, [this, i, outcome] { OnDelivered(i, outcome); }, Qt::QueuedConnection);
    };
    run.shouldStop = [this] { return stop_.load(); };
    worker_ = std::thread([this, settings, run] {
        ConvertBatch(plan_.files, settings, run);
        committed_ = archive_.Commit(); // nothing to do for a folder
        QMetaObject::invokeMethod(this, &ExportRun::OnDone, Qt::QueuedConnection);
    });
}

void ExportRun::OnDelivered(std::size_t index, const FileOutcome& outcome) {
    const std::string name = DisplayName(images_[index]);
    report_.Add(name, outcome);
    if (outcome.status == FileOutcome::Status::kConverted &&
        std::binary_search(plan_.renamed.begin(), plan_.renamed.end(), index)) {
        report_.NoteRenamed(name, outcome.output);
    }
    if (progress_ != nullptr && !stop_) {
        progress_->setLabelText(QString("%1 of %2: %3")
                                    .arg(index + 1)
                                    .arg(images_.size())
                                    .arg(QString::fromStdString(name)));
        // Last: a modal progress dialog handles events here, the next files' among them.
        progress_->setValue(static_cast<int>(index + 1));
    }
}

void ExportRun::OnDone() {
    worker_.join();
    report_.Finish(images_.size(), clock_.elapsed() / 1000.0, stop_);
    // Maybe called from within the progress dialog's own setValue().
    if (progress_ != nullptr) {
        progress_->hide();
        progress_->deleteLater();
    }
    const RunSummary& summary = report_.Summary();
    ShowMessageBox("Export listed images",
                   report_.Text(folder_) + (committed_ ? "" : "\n\n" + committed_.error().text),
                   summary.failed > 0 || !committed_ ? MessageIcon::Exclamation
                                                     : MessageIcon::Information,
                   owner_);
    emit Finished();
}
