#include "app/export_plan.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <unordered_set>

namespace fs = std::filesystem;
using pictavo::ImageLocation;

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The archive's name without extension, or the name of the file's folder.
std::string Origin(const ImageLocation& image) {
    return image.InArchive() ? fs::path(image.archivePath).stem().string()
                             : fs::path(image.filePath).parent_path().filename().string();
}

std::string SourcePath(const ImageLocation& image) {
    return image.InArchive() ? image.archivePath + "/" + image.entryName : image.filePath;
}

} // namespace

std::string DisplayName(const ImageLocation& image) {
    return image.InArchive() ? image.name + " in " + fs::path(image.archivePath).filename().string()
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
        const std::string stem = fs::path(images[i].name).filename().stem().string();
        std::string name = stem + extension;
        if (!taken.insert(Lower(name)).second) {
            const std::string origin = Origin(images[i]);
            name = stem + " (" + origin + ")" + extension;
            for (int n = 2; !taken.insert(Lower(name)).second; ++n) {
                name = stem + " (" + origin + " " + std::to_string(n) + ")" + extension;
            }
            plan.renamed.push_back(i);
        }
        sources.push_back({SourcePath(images[i]), name});
    }
    plan.files = PlanOutputs(sources, folder, [extension](const fs::path&) { return extension; });
    return plan;
}
