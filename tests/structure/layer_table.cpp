#include "layer_table.h"

#include <fstream>
#include <regex>

namespace fs = std::filesystem;

namespace {

const std::regex kSourceRow(R"(^\|\s*`src/([^`]+)/`\s*\|[^|]*\|([^|]*)\|)");
const std::regex kQuotedInclude(R"(^\s*#\s*include\s*"([^"]+)\")");
const std::regex kName("`([^`]+)`");

bool IsSource(const fs::path& file) {
    const std::string extension = file.extension().string();
    return extension == ".h" || extension == ".cpp" || extension == ".in";
}

std::string Slashed(const fs::path& path) {
    return path.generic_string();
}

// The table's folder a path under src/ belongs to: the longest that starts it.
std::string FolderOf(const std::string& relative, const LayerTable& table) {
    std::string best;
    for (const std::string& folder : table.order) {
        if (relative.starts_with(folder + "/") && folder.size() > best.size()) {
            best = folder;
        }
    }
    return best;
}

bool HasPublicHeaders(const fs::path& src, const std::string& folder) {
    return fs::is_directory(src / folder / "include");
}

std::string Allowed(const std::set<std::string>& folders) {
    std::string text;
    for (const std::string& folder : folders) {
        text += (text.empty() ? "" : ", ") + folder;
    }
    return text.empty() ? "nothing" : text;
}

} // namespace

LayerTable ReadLayerTable(const fs::path& markdown) {
    LayerTable table;
    std::ifstream in(markdown);
    std::string line;
    std::smatch row;
    while (std::getline(in, line)) {
        if (!std::regex_search(line, row, kSourceRow)) {
            continue;
        }
        std::set<std::string>& allowed = table.folders[row[1]];
        table.order.push_back(row[1]);
        const std::string cell = row[2];
        for (std::sregex_iterator name(cell.begin(), cell.end(), kName), end; name != end; ++name) {
            allowed.insert((*name)[1]);
        }
    }
    return table;
}

IncludeScan ScanIncludes(const fs::path& src, const LayerTable& table) {
    IncludeScan scan;
    const auto rank = [&](const std::string& folder) {
        return std::find(table.order.begin(), table.order.end(), folder) - table.order.begin();
    };
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(src)) {
        if (!entry.is_regular_file() || !IsSource(entry.path())) {
            continue;
        }
        const std::string from = FolderOf(Slashed(fs::relative(entry.path(), src)), table);
        if (from.empty()) {
            continue; // a folder the table lacks: the folder test names it
        }
        std::ifstream in(entry.path());
        std::string line;
        std::smatch match;
        for (std::size_t number = 1; std::getline(in, line); ++number) {
            if (!std::regex_search(line, match, kQuotedInclude)) {
                continue;
            }
            ++scan.includesRead;
            const std::string name = match[1];
            const auto problem = [&](const std::string& text) {
                scan.problems.push_back({entry.path(), number, "\"" + name + "\": " + text});
            };
            if (name.find('/') == std::string::npos) {
                if (!HasPublicHeaders(src, from) ||
                    !fs::exists(entry.path().parent_path() / name)) {
                    problem("an include names its folder, from src/");
                }
                continue;
            }
            const std::string to = FolderOf(name, table);
            const bool isPublic = !to.empty() && fs::exists(src / to / "include" / name);
            const bool isBeside = fs::exists(src / name) || fs::exists(src / (name + ".in"));
            if (to.empty() || (!isPublic && !isBeside)) {
                problem("no such header under src/");
                continue;
            }
            if (to == from) {
                continue;
            }
            if (!isPublic && HasPublicHeaders(src, to)) {
                problem("a header " + to + " keeps to itself; its public ones are in " + to +
                        "/include/");
            }
            if (!table.folders.at(from).contains(to)) {
                problem(from + " may include only " + Allowed(table.folders.at(from)));
            }
            if (scan.arrows.insert({from, to}).second && rank(to) > rank(from)) {
                ++scan.backArrows;
            }
        }
    }
    return scan;
}

std::set<std::string> SourceFolders(const fs::path& src) {
    std::set<std::string> folders;
    for (auto entry = fs::recursive_directory_iterator(src);
         entry != fs::recursive_directory_iterator(); ++entry) {
        if (entry->is_directory() && entry->path().filename() == "include") {
            entry.disable_recursion_pending();
        } else if (entry->is_regular_file() &&
                   (IsSource(entry->path()) || entry->path().filename() == "CMakeLists.txt")) {
            folders.insert(Slashed(fs::relative(entry->path().parent_path(), src)));
        }
    }
    return folders;
}

std::set<std::string> ReadmeLayoutFolders(const fs::path& readme) {
    static const std::regex kLayoutRow(R"(^\|\s*`src/([^`]+)/`)");
    std::set<std::string> folders;
    std::ifstream in(readme);
    std::string line;
    bool inLayout = false;
    std::smatch row;
    while (std::getline(in, line)) {
        if (line.starts_with("#")) {
            inLayout = line == "## Layout";
        } else if (inLayout && std::regex_search(line, row, kLayoutRow)) {
            folders.insert(row[1]);
        }
    }
    return folders;
}
