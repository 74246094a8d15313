#pragma once

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

// Exit status of pictavo-convert.
enum ConvertExit : int {
    kConvertAllSucceeded = 0,
    kConvertSomeFailed = 1,
    kConvertBadUsage = 2,
};

struct ConvertEnvironment {
    bool terminal = false; // `out` is a terminal: a progress bar is drawn
    // Called once each file's outcome is printed, with how many have been; tests stop a run
    // there.
    std::function<void(std::size_t)> afterFile;
    // With --watch: called once each batch of saves is converted.
    std::function<void()> afterBatch;
};

// Runs pictavo-convert with its arguments (without the program name).
int RunConvertCommand(const std::vector<std::string>& arguments, std::ostream& out,
                      std::ostream& err, const ConvertEnvironment& environment = {});
