#include "app/export_plan.h"

#include "texture/ascii_case.h"
#include "texture/utf8_path.h"

#include <algorithm>
#include <filesystem>
#include <unordered_set>

namespace fs = std::filesystem;
using pictavo::ImageLocation;

namespace {

// The archive's name without extension, or the name of the file's folder.
std::string Origin(const ImageLocation& image) {
    return image.InArchive()
               ? pictavo::PathText(pictavo::PathOf(image.archivePath).stem())
               : pictavo::PathText(pictavo::PathOf(image.filePath).parent_path().filename());
}

std::string SourcePath(const ImageLocation& image) {
    return image.InArchive() ? image.archivePath + "/" + image.entryName : image.filePath;
}

} // namespace

std::string DisplayName(const ImageLocation& image) {
    return image.InArchive() ? image.name + " in " +
                                   pictavo::PathText(pictavo::PathOf(image.archivePath).filename())
                             : image.name;
}

ExportPlan PlanExport(const std::vector<ImageLocation>& images, const std::string& folder,
                      const char* extension) {
    ExportPlan plan;
    std::vector<SourceFile> sources;
    sources.reserve(images.size());
    // Folders on Windows, and USB sticks anywhere, do not tell "Wall.png" from "wall.png".
    std::unordered_set<std::string> taken;
    for (std::size_t i = 0; i < images.size(); ++i) {
        // Only the file name: whatever the list says, nothing lands outside the folder.
        const std::string stem =
            pictavo::PathText(pictavo::PathOf(images[i].name).filename().stem());
        std::string name = stem + extension;
        if (!taken.insert(pictavo::AsciiLower(name)).second) {
            const std::string origin = Origin(images[i]);
            name = stem + " (" + origin + ")" + extension;
            for (int n = 2; !taken.insert(pictavo::AsciiLower(name)).second; ++n) {
                name = stem + " (" + origin + " " + std::to_string(n) + ")" + extension;
            }
            plan.renamed.push_back(i);
        }
        sources.push_back({SourcePath(images[i]), name});
    }
    plan.files = PlanOutputs(sources, folder, [extension](const fs::path&) { return extension; });
    return plan;
}
