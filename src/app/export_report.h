#pragma once

#include "convert/convert_file.h"
#include "convert/run_summary.h"

#include <string>
#include <vector>

// What an export of the listed images did, told to the user once at the end.
class ExportReport {
public:
    // `name` as the list shows it.
    void Add(const std::string& name, const FileOutcome& outcome);
    void NoteRenamed(const std::string& name, const std::string& output);
    // `stopped` when the user cancelled; it counts only when files were left.
    void Finish(std::size_t total, double seconds, bool stopped);

    const RunSummary& Summary() const { return summary_; }
    // The counts, then the images saved under another name and each failure with its reason.
    std::string Text(const std::string& folder) const;

private:
    RunSummary summary_;
    std::vector<std::string> renamed_;
    std::vector<std::string> failures_;
};
