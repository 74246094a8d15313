#pragma once

#include "convert/convert_file.h"

#include <cstddef>
#include <cstdint>
#include <string>

struct RunSummary {
    std::size_t converted = 0;
    std::size_t skipped = 0;
    std::size_t failed = 0;
    std::size_t notStarted = 0; // left when the run was stopped
    std::uint64_t bytes = 0;    // of the sources read
    double seconds = 0;
    bool stopped = false;
};

// Counts one file's outcome and the bytes of its source.
void CountOutcome(const FileOutcome& outcome, RunSummary& summary);

// "3 converted, 1 skipped, 2 failed, 1.2 MB in 0.05 s", and how many a stop left.
std::string SummaryLine(const RunSummary& summary);

// Megabytes with one decimal.
std::string Megabytes(std::uint64_t bytes);
