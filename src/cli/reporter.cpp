#include "cli/reporter.h"

#include "cli/json_record.h"
#include "cli/progress.h"

#include <ostream>

Reporter::Reporter(std::ostream& out, Style style, std::uint64_t totalBytes)
    : out_(out), style_(style), totalBytes_(totalBytes) {}

double Reporter::Seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void Reporter::ClearBar() {
    if (style_ == Style::kTerminal) {
        out_ << "\r\x1b[K";
    }
}

void Reporter::Add(const FileOutcome& outcome) {
    ++done_;
    CountOutcome(outcome, summary_);
    const bool failed = outcome.status == FileOutcome::Status::kFailed;
    if (style_ == Style::kJson) {
        // Flushed at once: a watch's reader, or a script, waits for each file's record.
        out_ << JsonFileRecord(outcome) << std::endl;
        return;
    }
    if (style_ == Style::kQuiet && !failed) {
        return;
    }
    ClearBar();
    out_ << outcome.source << ": "
         << (outcome.status == FileOutcome::Status::kConverted ? "wrote " + outcome.output
             : failed                                          ? outcome.message
                                                               : "skipped, " + outcome.message)
         << (outcome.warning.empty() ? "" : ". " + outcome.warning) << std::endl;
    if (style_ == Style::kTerminal) {
        out_ << ProgressText(done_, total_, summary_.bytes, totalBytes_, Seconds()) << std::flush;
    }
}

const RunSummary& Reporter::Finish(bool stopped) {
    summary_.seconds = Seconds();
    summary_.stopped = stopped;
    summary_.notStarted = total_ - done_;
    ClearBar();
    if (style_ == Style::kJson) {
        out_ << JsonSummaryRecord(summary_) << '\n';
    } else if (style_ != Style::kQuiet) {
        out_ << SummaryLine(summary_) << '\n';
    }
    return summary_;
}
