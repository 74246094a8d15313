#pragma once

#include "convert/convert_settings.h"

#include <string>
#include <vector>

// The converter's command line: how each file is converted, and which files, where and how
// the run is reported.
struct ConvertOptions : ConvertSettings {
    bool infoOnly = false;
    bool recursive = false;
    std::string outputDir; // empty: beside each source
    unsigned jobs = 0;     // 0: one per core
    bool quiet = false;
    bool json = false;
    bool watch = false; // after the first pass, convert what is added or changed
    bool poll = false;  // watch by looking rather than by the system's notices
    std::vector<std::string> paths;
};

struct ParsedArguments {
    enum class Action { kRun, kHelp, kVersion, kBadUsage } action = Action::kRun;
    ConvertOptions options;
    std::string problem; // for kBadUsage
};

ParsedArguments ParseConvertArguments(const std::vector<std::string>& arguments);

// The --help text, which says whether best quality is built in.
std::string ConvertUsage();
