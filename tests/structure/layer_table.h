#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

// The layer table of docs/architecture.md: the folders of src/ from the floor up, and the
// folders each may include.
struct LayerTable {
    std::vector<std::string> order;                       // "texture", "platform/testing"
    std::map<std::string, std::set<std::string>> folders; // folder: what it may include
};

struct IncludeProblem {
    std::filesystem::path file;
    std::size_t line = 0;
    std::string text;
};

struct IncludeScan {
    std::vector<IncludeProblem> problems;
    std::set<std::pair<std::string, std::string>> arrows; // from folder, to folder
    std::size_t backArrows = 0;                           // arrows pointing up the table
    std::size_t includesRead = 0;
};

// Rows whose first cell is `src/NAME/`; the third cell names what NAME may include.
LayerTable ReadLayerTable(const std::filesystem::path& markdown);

// Every quoted include of every source under `src`, judged by the table: it names its folder
// from `src` (a library with an include/ folder keeps the headers beside its sources to
// itself, and includes them by name), the header exists, and the folder is one its own
// folder may include.
IncludeScan ScanIncludes(const std::filesystem::path& src, const LayerTable& table);

// The folders of `src` that hold sources, a library's include/ folder not counted.
std::set<std::string> SourceFolders(const std::filesystem::path& src);

// The `src/NAME/` rows of the README's layout table.
std::set<std::string> ReadmeLayoutFolders(const std::filesystem::path& readme);
