#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The files, folders and archives opened last, newest first, each once.
class RecentFiles {
public:
    static constexpr std::size_t kMaxPaths = 10;

    RecentFiles() = default;
    // Takes a stored list under the same rules as Add: duplicates and the excess dropped.
    explicit RecentFiles(const std::vector<std::string>& paths);

    // Puts `path` first; an older place of the same path goes, and the oldest beyond the
    // limit.
    void Add(const std::string& path);
    void Remove(const std::string& path);
    void Clear();
    const std::vector<std::string>& Paths() const { return paths_; }

private:
    std::vector<std::string> paths_;
};

// Kept in a settings file of their own ("Varnel", "Pictavo Recent"), so that the settings
// the Settings dialog saves stay exactly as it writes them.
RecentFiles LoadRecentFiles();
void SaveRecentFiles(const RecentFiles& recent);
