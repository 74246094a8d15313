#include "imagelist/open_plan.h"

#include "texture/utf8_path.h"

#include <filesystem>
#include <iterator>
#include <set>
#include <system_error>
#include <utility>

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

namespace {

// Why a path of this kind does not open; empty when it does.
std::string ProblemOf(const std::string& path, PathKind kind) {
    switch (kind) {
    case PathKind::kMissing:
        return path + ": not found";
    case PathKind::kOther:
        return path + ": not an IWI or DDS image, a folder or an archive";
    case PathKind::kFolder:
    case PathKind::kArchive:
    case PathKind::kImage:
        break;
    }
    return {};
}

} // namespace

OpenPlan PlanOpen(const std::vector<std::string>& paths) {
    OpenPlan plan;
    std::vector<std::string> opened;
    PathKind firstKind = PathKind::kMissing;
    for (const std::string& path : paths) {
        const PathKind kind = KindOfPath(path);
        if (std::string problem = ProblemOf(path, kind); !problem.empty()) {
            plan.problems.push_back(std::move(problem));
            continue;
        }
        if (opened.empty()) {
            firstKind = kind;
        }
        opened.push_back(path);
    }
    plan.opens = !opened.empty();
    if (opened.size() > 1) {
        plan.list.kind = OpenedList::Kind::kSeveral;
        plan.list.paths = std::move(opened);
    } else if (firstKind == PathKind::kImage) {
        std::error_code error;
        const fs::path image = fs::absolute(PathOf(opened.front()), error);
        plan.list.kind = OpenedList::Kind::kFolder;
        plan.list.paths = {PathText(image.parent_path())};
        plan.list.selected = PathText(image.filename());
        plan.list.recentPath = opened.front();
    } else if (plan.opens) {
        plan.list.kind =
            firstKind == PathKind::kFolder ? OpenedList::Kind::kFolder : OpenedList::Kind::kArchive;
        plan.list.paths = opened;
        plan.list.recentPath = opened.front();
    }
    return plan;
}

ImageListing ListSeveral(const std::vector<std::string>& paths) {
    ImageListing listing;
    std::set<std::string> texts;
    for (const std::string& path : paths) {
        const PathKind kind = KindOfPath(path);
        ImageListing part;
        if (kind == PathKind::kFolder) {
            part = ListOpenedFolder(path);
        } else if (kind == PathKind::kArchive) {
            part = ListArchiveImages(path);
        } else if (kind == PathKind::kImage) {
            part.images.push_back(ListedFile(path));
        } else {
            listing.problems.push_back(ProblemOf(path, kind));
            continue;
        }
        for (ListedImage& image : part.images) {
            // Where each folder's or archive's images come from, as a game's archives show it;
            // the images of a game root's archives carry their archive's mark already.
            if (kind == PathKind::kArchive ||
                (kind == PathKind::kFolder && !image.where.InArchive())) {
                image.text = MarkedName(image.text, path);
            }
            if (!texts.insert(image.text).second) {
                listing.problems.push_back(path + ": " + image.text + " is listed already");
                continue;
            }
            listing.images.push_back(std::move(image));
        }
        std::move(part.problems.begin(), part.problems.end(), std::back_inserter(listing.problems));
    }
    return listing;
}

} // namespace pictavo
