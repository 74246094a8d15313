#pragma once

#include <string>
#include <vector>

namespace pictavo {

// One image a game loads from its archives.
struct ArchivedImage {
    std::string name;        // file name without folder, e.g. "tom_axe_col.iwi"
    std::string archivePath; // full path of the .iwd it comes from
    std::string entryName;   // name inside the archive, e.g. "images/tom_axe_col.iwi"
};

struct GameArchiveListing {
    std::vector<ArchivedImage> images; // one per name, in any case, sorted so
    std::vector<std::string> problems; // unreadable archives and refused entries, one line each
};

// The `images/*.iwi` entries (extension and folder matched without regard to case) of every
// `main/*.iwd` below `gameRoot`. Archives are taken in the order the games load them (file
// names sorted without regard to case); for the same image name the later archive wins.
// An unreadable archive or entry is noted and skipped, never stops the listing.
GameArchiveListing ListGameArchives(const std::string& gameRoot);
// The same for archives already found, given in load order.
GameArchiveListing ListArchivedImages(const std::vector<std::string>& archivePaths);

// The archive files a game root holds in main/, in load order (empty when none).
std::vector<std::string> GameArchivePaths(const std::string& gameRoot);
// Whether a folder holds main/*.iwd archives, as a stock install does.
bool HoldsGameArchives(const std::string& gameRoot);

} // namespace pictavo
