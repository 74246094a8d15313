#pragma once

#include "convert/file_walk.h"

#include <functional>
#include <string>
#include <vector>

struct PlannedFile {
    std::string source;
    std::string output;
    std::string refusal; // why nothing is written, decided before any file is
    // Where the output is written when `output` names what it stands for rather than a file
    // (an archive's entry, written first into a staging folder).
    std::string writeTo{};
    bool exists = false; // an output known to be there already (an archive's entry)
};

// Where each source's output goes: in `outputFolder` at the source's relative path, or beside
// the source when it is empty, with the extension `extensionOf` gives. An output that is
// one of the sources, or that an earlier source already writes, is refused.
std::vector<PlannedFile>
PlanOutputs(const std::vector<SourceFile>& sources, const std::string& outputFolder,
            const std::function<const char*(const std::filesystem::path&)>& extensionOf);
