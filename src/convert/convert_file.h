#pragma once

#include "convert/convert_settings.h"
#include "convert/output_plan.h"
#include "texture/result.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

struct FileOutcome {
    enum class Status { kConverted, kSkipped, kFailed } status = Status::kFailed;
    std::string source;
    std::string output;
    std::string message;     // why it was skipped or failed
    std::uint64_t bytes = 0; // of the source
    std::string warning{};   // what is wrong with a source that converted, in a sentence
};

// The extension of what a source becomes: the target's, or by default "dds" for a source
// named .iwi and "iwi" for any other name. Planning goes by names only; the conversion then
// reads the source by its first bytes and writes what the planned name says.
const char* OutputExtension(Target target, const std::filesystem::path& source);

// Reads a whole source into memory (an archive entry, say).
using SourceReader = std::function<pictavo::Status(std::vector<std::uint8_t>& bytes)>;

// Reads one source, from its path or through `read` when one is given, and writes its
// output; a failure is reported, never thrown. An output that exists is skipped without
// reading the source, unless the settings say to overwrite it.
FileOutcome ConvertFile(const PlannedFile& file, const ConvertSettings& settings,
                        const SourceReader& read = {});

// "IWI v8, DXT5, 324 x 184, 9 levels, 1 face, flags 0x00000140 (other bits 0x00000140),
// levels largest first, data at 32", then what is wrong with the file if anything is; or why
// it does not read.
pictavo::Result<std::string> DescribeFile(const std::string& path);
