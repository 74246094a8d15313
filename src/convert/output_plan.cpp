#include "convert/output_plan.h"

#include "convert/file_walk.h"
#include "texture/utf8_path.h"

#include <unordered_set>

namespace fs = std::filesystem;

std::vector<PlannedFile>
PlanOutputs(const std::vector<SourceFile>& sources, const std::string& outputFolder,
            const std::function<const char*(const fs::path&)>& extensionOf) {
    std::error_code noFolder;
    const fs::path base = fs::current_path(noFolder);
    // Normal absolute paths compared as text: thousands of path comparisons cost more.
    std::unordered_set<fs::path::string_type> sourcePaths;
    for (const SourceFile& source : sources) {
        sourcePaths.insert(AbsolutePath(source.path, base).native());
    }
    std::unordered_set<fs::path::string_type> claimed;
    std::vector<PlannedFile> planned;
    planned.reserve(sources.size());
    for (const SourceFile& source : sources) {
        fs::path output =
            outputFolder.empty() ? source.path : pictavo::PathOf(outputFolder) / source.relative;
        output.replace_extension(extensionOf(source.path));
        PlannedFile file{pictavo::PathText(source.path), pictavo::PathText(output), {}};
        const fs::path::string_type normal = AbsolutePath(output, base).native();
        if (sourcePaths.count(normal) != 0) {
            file.refusal = "the output " + file.output + " would replace a source file";
        } else if (!claimed.insert(normal).second) {
            file.refusal = "another source already writes " + file.output;
        }
        planned.push_back(std::move(file));
    }
    return planned;
}
