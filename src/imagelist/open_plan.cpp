#include "imagelist/open_plan.h"

#include "imagelist/image_listing.h"
#include "platform/native_path.h"

#include <filesystem>
#include <system_error>

namespace pictavo {

namespace fs = std::filesystem;

PathKind KindOfPath(const std::string& path) {
    std::error_code error;
    const fs::file_status status = fs::status(PathOf(path), error);
    if (error || !fs::exists(status)) {
        return PathKind::kMissing;
    }
    if (fs::is_directory(status)) {
        return PathKind::kFolder;
    }
    if (!fs::is_regular_file(status)) {
        return PathKind::kOther;
    }
    if (IsArchiveName(path)) {
        return PathKind::kArchive;
    }
    return IsImageName(path) ? PathKind::kImage : PathKind::kOther;
}

OpenPlan PlanOpen(const std::vector<std::string>& paths) {
    OpenPlan plan;
    std::vector<std::string> images;
    for (const std::string& path : paths) {
        const PathKind kind = KindOfPath(path);
        switch (kind) {
        case PathKind::kMissing:
            plan.problems.push_back(path + ": not found");
            break;
        case PathKind::kOther:
            plan.problems.push_back(path + ": not an IWI or DDS image, a folder or an archive");
            break;
        case PathKind::kFolder:
        case PathKind::kArchive:
            if (paths.size() == 1) {
                plan.list.kind = kind == PathKind::kFolder ? OpenedList::Kind::kFolder
                                                           : OpenedList::Kind::kArchive;
                plan.list.paths = {path};
                plan.list.recentPath = path;
                plan.opens = true;
                return plan;
            }
            plan.problems.push_back(path + ": folders and archives open alone");
            break;
        case PathKind::kImage:
            images.push_back(path);
            break;
        }
    }
    if (images.size() == 1) {
        std::error_code error;
        const fs::path image = fs::absolute(PathOf(images.front()), error);
        plan.list.kind = OpenedList::Kind::kFolder;
        plan.list.paths = {PathText(image.parent_path())};
        plan.list.selected = PathText(image.filename());
        plan.list.recentPath = images.front();
        plan.opens = true;
    } else if (!images.empty()) {
        plan.list.kind = OpenedList::Kind::kFiles;
        plan.list.paths = images;
        plan.opens = true;
    }
    return plan;
}

} // namespace pictavo
