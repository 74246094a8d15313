#include "app/recent_files.h"

#include "app/qt_path_text.h"

#include <QSettings>
#include <QStringList>
#include <algorithm>

namespace {

constexpr char kPathsKey[] = "Paths";

QSettings RecentStore() {
    // The registry on Windows, a file elsewhere; tests point the default format at files.
    return QSettings(QSettings::defaultFormat(), QSettings::UserScope, "Varnel", "Pictavo Recent");
}

} // namespace

RecentFiles::RecentFiles(const std::vector<std::string>& paths) {
    // Oldest first, so that the newest ends up in front.
    std::for_each(paths.rbegin(), paths.rend(), [this](const std::string& path) { Add(path); });
}

void RecentFiles::Add(const std::string& path) {
    if (path.empty())
        return;
    Remove(path);
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > kMaxPaths)
        paths_.resize(kMaxPaths);
}

void RecentFiles::Remove(const std::string& path) {
    paths_.erase(std::remove(paths_.begin(), paths_.end(), path), paths_.end());
}

void RecentFiles::Clear() {
    paths_.clear();
}

RecentFiles LoadRecentFiles() {
    std::vector<std::string> paths;
    // Stored as Qt decodes file names, so names that are not UTF-8 come back byte for byte.
    for (const QString& path : RecentStore().value(kPathsKey).toStringList())
        paths.push_back(PathBytes(path));
    return RecentFiles(paths);
}

void SaveRecentFiles(const RecentFiles& recent) {
    QStringList paths;
    for (const std::string& path : recent.Paths())
        paths.push_back(PathQString(path));
    QSettings store = RecentStore();
    store.setValue(kPathsKey, paths);
}
