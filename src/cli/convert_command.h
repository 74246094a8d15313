#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Exit status of pictavo-convert.
enum ConvertExit : int {
    kConvertAllSucceeded = 0,
    kConvertSomeFailed = 1,
    kConvertBadUsage = 2,
};

// Runs pictavo-convert with its arguments (without the program name).
int RunConvertCommand(const std::vector<std::string>& arguments, std::ostream& out,
                      std::ostream& err);
