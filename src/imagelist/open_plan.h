#pragma once

#include "imagelist/image_listing.h"

#include <string>
#include <vector>

namespace pictavo {

// What the user can open: a folder, an archive, or image files.
enum class PathKind { kMissing, kFolder, kArchive, kImage, kOther };

PathKind KindOfPath(const std::string& path);

// A list the user opened instead of the active game's.
struct OpenedList {
    // kSeveral: image files, folders and archives together.
    enum class Kind { kFolder, kArchive, kSeveral };
    Kind kind = Kind::kFolder;
    std::vector<std::string> paths; // one folder or archive, or several paths
    std::string selected;           // the name to select and show once listed, if any
    // What the recent list keeps for it: the folder, archive or file the user opened.
    std::string recentPath;
};

struct OpenPlan {
    bool opens = false;
    OpenedList list;
    std::vector<std::string> problems; // one line per path that does not open
};

// What opening `paths` (a command line, a drop, a file dialog) does. One folder or archive
// lists it; one image lists its folder and selects it; several paths are listed together.
// Paths that are none of these are noted and skipped.
OpenPlan PlanOpen(const std::vector<std::string>& paths);

// The images of several paths together, read now: image files under their own names, the
// images of each folder and archive marked with its name. A text listed already, or a path
// that no longer opens, is noted and skipped.
ImageListing ListSeveral(const std::vector<std::string>& paths);

} // namespace pictavo
