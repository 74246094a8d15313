#pragma once

#include "convert/convert_file.h"

#include <cstddef>
#include <functional>
#include <vector>

struct BatchRun {
    unsigned jobs = 0; // 0: one per core
    // Reads source `index` whole; none: every source is read from its path.
    std::function<pictavo::Status(std::size_t index, std::vector<std::uint8_t>& bytes)> read;
    // Each file's outcome, in the order of the files, one call at a time.
    std::function<void(std::size_t index, const FileOutcome& outcome)> deliver;
    // Once it holds, the files in progress finish and no other starts.
    std::function<bool()> shouldStop = [] { return false; };
};

// Converts the planned files on several threads; what is delivered never depends on their
// scheduling. Returns how many outcomes were delivered.
std::size_t ConvertBatch(const std::vector<PlannedFile>& files, const ConvertSettings& settings,
                         const BatchRun& run);
