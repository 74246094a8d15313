#include "app/game_root.h"

#include "archive/game_archives.h"
#include "platform/directory_scan.h"

namespace {

// The folder of the mod tools' layout, its name matched exactly.
constexpr char kRawFolder[] = "raw";

} // namespace

bool IsGameRootFolder(const std::string& folder) {
    return HasSubfolderNamed(folder, kRawFolder) || pictavo::HoldsGameArchives(folder);
}
