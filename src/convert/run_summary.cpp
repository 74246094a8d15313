#include "convert/run_summary.h"

#include <cstdio>

void CountOutcome(const FileOutcome& outcome, RunSummary& summary) {
    summary.bytes += outcome.bytes;
    switch (outcome.status) {
    case FileOutcome::Status::kConverted:
        ++summary.converted;
        break;
    case FileOutcome::Status::kSkipped:
        ++summary.skipped;
        break;
    default:
        ++summary.failed;
    }
}

std::string Megabytes(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
    return text;
}

std::string SummaryLine(const RunSummary& summary) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f s", summary.seconds);
    std::string line = std::to_string(summary.converted) + " converted, " +
                       std::to_string(summary.skipped) + " skipped, " +
                       std::to_string(summary.failed) + " failed, " + Megabytes(summary.bytes) +
                       " in " + seconds;
    if (summary.stopped) {
        line += "; stopped, " + std::to_string(summary.notStarted) + " not started";
    }
    return line;
}
