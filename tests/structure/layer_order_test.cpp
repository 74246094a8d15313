// Every include under src/ against the layer table of docs/architecture.md, and that table
// against the folders on disk and the README's layout table.
#include "layer_table.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <numeric>
#include <string>

namespace fs = std::filesystem;

namespace {

const fs::path kRoot = PICTAVO_SOURCE_DIR;

std::string Joined(const std::set<std::string>& names) {
    return std::accumulate(names.begin(), names.end(), std::string(),
                           [](std::string all, const std::string& name) {
                               return all.empty() ? name : all + ", " + name;
                           });
}

TEST(LayerOrder, EveryIncludeKeepsToTheTable) {
    const LayerTable table = ReadLayerTable(kRoot / "docs/architecture.md");
    ASSERT_GT(table.folders.size(), 10u) << "no layer table read from docs/architecture.md";
    const IncludeScan scan = ScanIncludes(kRoot / "src", table);
    // The figures the layout is judged by, for whoever reads the log.
    std::cout << table.folders.size() << " folders, " << scan.arrows.size()
              << " arrows between them, " << scan.backArrows << " pointing up the table\n";
    for (const IncludeProblem& problem : scan.problems) {
        ADD_FAILURE() << fs::relative(problem.file, kRoot).generic_string() << ":" << problem.line
                      << ": " << problem.text;
    }
    EXPECT_GT(scan.includesRead, 500u) << "the scan found too few includes to mean anything";
}

TEST(LayerOrder, EveryFolderIsInTheTableAndTheReadme) {
    const LayerTable table = ReadLayerTable(kRoot / "docs/architecture.md");
    const std::set<std::string> onDisk = SourceFolders(kRoot / "src");
    const std::set<std::string> inTable(table.order.begin(), table.order.end());
    const std::set<std::string> inReadme = ReadmeLayoutFolders(kRoot / "README.md");
    std::set<std::string> missing;
    std::ranges::set_difference(onDisk, inTable, std::inserter(missing, missing.end()));
    EXPECT_TRUE(missing.empty()) << "folders of src/ not in docs/architecture.md: "
                                 << Joined(missing);
    missing.clear();
    std::ranges::set_difference(inTable, inReadme, std::inserter(missing, missing.end()));
    EXPECT_TRUE(missing.empty()) << "folders missing from the README's layout table: "
                                 << Joined(missing);
    missing.clear();
    std::ranges::set_difference(inReadme, inTable, std::inserter(missing, missing.end()));
    EXPECT_TRUE(missing.empty()) << "README layout folders not in docs/architecture.md: "
                                 << Joined(missing);
}

// The checker itself, on a small tree it writes: it must catch what the table forbids.
TEST(LayerOrder, CatchesIncludesAgainstTheOrder) {
    const fs::path tree = fs::temp_directory_path() / "pictavo_layer_order_test";
    fs::remove_all(tree);
    const auto write = [&](const fs::path& relative, const std::string& text) {
        fs::create_directories((tree / relative).parent_path());
        std::ofstream(tree / relative) << text;
    };
    write("docs/architecture.md", "| folder | owns | may include |\n|---|---|---|\n"
                                  "| `src/low/` | x | |\n"
                                  "| `src/high/` | y | `low` |\n");
    write("src/low/include/low/open.h", "#pragma once\n");
    write("src/low/own.h", "#pragma once\n");
    write("src/low/a.cpp", "#include \"own.h\"\n#include \"high/b.h\"\n");
    write("src/high/b.h", "#pragma once\n\n#include \"low/open.h\"\n#include <vector>\n");
    write("src/high/c.cpp", "#include \"b.h\"\n// #include \"x/y.h\"\n#include \"low/own.h\"\n"
                            "#include \"low/missing.h\"\n#include \"high/b.h\"\n");

    const LayerTable table = ReadLayerTable(tree / "docs/architecture.md");
    const IncludeScan scan = ScanIncludes(tree / "src", table);
    std::vector<std::string> found;
    for (const IncludeProblem& problem : scan.problems) {
        found.push_back(problem.file.filename().string() + ":" + std::to_string(problem.line));
    }
    std::ranges::sort(found);
    EXPECT_EQ(found, (std::vector<std::string>{"a.cpp:2", "c.cpp:1", "c.cpp:3", "c.cpp:4"}));
    EXPECT_EQ(scan.backArrows, 1u);
    EXPECT_EQ(scan.arrows.size(), 2u); // high -> low, low -> high
    fs::remove_all(tree);
}

} // namespace
