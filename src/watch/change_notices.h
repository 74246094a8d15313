#pragma once

#include <filesystem>
#include <memory>
#include <vector>

// Tells which files in a set of folders were added, written or moved in.
class ChangeNotices {
public:
    virtual ~ChangeNotices() = default;
    // Waits up to `waitMs` (less when a signal comes) and adds the files that changed
    // meanwhile to `changed`; the same file may come more than once.
    virtual void Wait(int waitMs, std::vector<std::filesystem::path>& changed) = 0;
};

// The system's own notices for the folders (inotify, ReadDirectoryChangesW), the folders
// below them too when `recursive`; none where they cannot be had, as on network folders.
std::unique_ptr<ChangeNotices> SystemNotices(const std::vector<std::filesystem::path>& folders,
                                             bool recursive);

// Looks at every file of the folders each `intervalMs` and tells what differs from the look
// before; works wherever the files can be listed.
std::unique_ptr<ChangeNotices> PolledNotices(const std::vector<std::filesystem::path>& folders,
                                             bool recursive, int intervalMs);
