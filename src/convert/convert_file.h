#pragma once

#include "convert_settings.h"
#include "output_plan.h"

#include <cstdint>
#include <filesystem>
#include <string>

struct FileOutcome {
    enum class Status { kConverted, kSkipped, kFailed } status = Status::kFailed;
    std::string source;
    std::string output;
    std::string message;     // why it was skipped or failed
    std::uint64_t bytes = 0; // of the source
};

// The extension of what a source becomes: the target's, or by default "dds" for an IWI file
// and "iwi" for anything else, told by the first bytes.
const char* OutputExtension(Target target, const std::filesystem::path& source);

// Reads one source and writes its output; a failure is reported, never thrown.
FileOutcome ConvertFile(const PlannedFile& file, const ConvertSettings& settings);

// "IWI v8, DXT5, 324 x 184, 9 levels, 1 face, levels largest first, data at 32", or why not.
std::string DescribeFile(const std::string& path, bool& succeeded);
