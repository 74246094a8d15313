#pragma once

#include <string>
#include <vector>

namespace pictavo {

// What the user can open: a folder, an archive, or image files.
enum class PathKind { kMissing, kFolder, kArchive, kImage, kOther };

PathKind KindOfPath(const std::string& path);

// A list the user opened instead of the active game's.
struct OpenedList {
    enum class Kind { kFolder, kArchive, kFiles };
    Kind kind = Kind::kFolder;
    std::vector<std::string> paths; // one folder or archive, or the files
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
// lists it; one image lists its folder and selects it; several images list just those.
// Folders and archives open alone: given among other paths they are noted and skipped.
OpenPlan PlanOpen(const std::vector<std::string>& paths);

} // namespace pictavo
