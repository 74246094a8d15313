#pragma once

#include "convert/convert_file.h"
#include "convert/run_summary.h"

#include <chrono>
#include <cstdint>
#include <iosfwd>

// Prints each file's outcome as it is delivered and the summary at the end, in one of the
// styles the options ask for, and counts them.
class Reporter {
public:
    enum class Style {
        kLines,    // one line a file
        kTerminal, // the same, with a progress bar redrawn below them
        kQuiet,    // failures only, no summary
        kJson,     // one JSON record a file and one for the summary
    };

    // `totalBytes`: of the sources of the first batch, for the progress bar.
    Reporter(std::ostream& out, Style style, std::uint64_t totalBytes);
    // `count` more files to come, as each batch is planned.
    void Expect(std::size_t count) { total_ += count; }
    void Add(const FileOutcome& outcome);
    // Prints the summary; `stopped` when a signal ended the run early.
    const RunSummary& Finish(bool stopped);

private:
    double Seconds() const;
    void ClearBar();

    std::ostream& out_;
    Style style_;
    std::size_t total_ = 0;
    std::uint64_t totalBytes_;
    std::size_t done_ = 0;
    RunSummary summary_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};
