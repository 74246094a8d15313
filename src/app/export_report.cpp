#include "app/export_report.h"

#include "texture/utf8_path.h"

#include <filesystem>

namespace {

// Lines listed by name before the rest are only counted: the box must fit on a screen.
constexpr std::size_t kListedLines = 15;

void AppendList(std::string& text, const std::string& heading,
                const std::vector<std::string>& lines) {
    if (lines.empty()) {
        return;
    }
    text += "\n\n" + heading;
    for (std::size_t i = 0; i < lines.size() && i < kListedLines; ++i) {
        text += "\n" + lines[i];
    }
    if (lines.size() > kListedLines) {
        text += "\nand " + std::to_string(lines.size() - kListedLines) + " more";
    }
}

} // namespace

void ExportReport::Add(const std::string& name, const FileOutcome& outcome) {
    CountOutcome(outcome, summary_);
    if (outcome.status == FileOutcome::Status::kFailed) {
        failures_.push_back(name + ": " + outcome.message);
    }
}

void ExportReport::NoteRenamed(const std::string& name, const std::string& output) {
    renamed_.push_back(name + " as " + pictavo::PathText(pictavo::PathOf(output).filename()));
}

void ExportReport::Finish(std::size_t total, double seconds, bool stopped) {
    summary_.notStarted = total - (summary_.converted + summary_.skipped + summary_.failed);
    summary_.seconds = seconds;
    summary_.stopped = stopped && summary_.notStarted > 0;
}

std::string ExportReport::Text(const std::string& folder) const {
    std::string text = "Exported into " + folder + ": " + SummaryLine(summary_) + ".";
    if (summary_.skipped > 0) {
        // As texconv and the converter do without -y: what is there stays.
        text += "\n\nFiles already in the folder are kept: " + std::to_string(summary_.skipped) +
                (summary_.skipped == 1 ? " image was" : " images were") +
                " skipped. Delete those files to export them again.";
    }
    AppendList(text, "Saved under another name, as an earlier image has the same name:", renamed_);
    AppendList(text, "Failed:", failures_);
    return text;
}
