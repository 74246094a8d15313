#include "platform/directory_scan.h"

#include <QDirIterator>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Narrow texts are UTF-8 on Windows, as Qt hands them over; elsewhere they are the file
// system's own bytes, which need not be UTF-8 and are kept as they are.
fs::path PathOf(const std::string& text) {
#ifdef _WIN32
    return fs::path(std::u8string(text.begin(), text.end()));
#else
    return fs::path(text);
#endif
}

std::string NarrowName(const fs::path& name) {
#ifdef _WIN32
    const std::u8string text = name.u8string();
    return std::string(text.begin(), text.end());
#else
    return name.native();
#endif
}

bool HasIwiExtension(const std::string& name) {
    constexpr std::string_view kExtension = ".iwi";
    if (name.size() < kExtension.size())
        return false;
    const std::size_t start = name.size() - kExtension.size();
    for (std::size_t i = 0; i < kExtension.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(name[start + i])) != kExtension[i])
            return false;
    }
    return true;
}

} // namespace

FolderScan ScanIwiFiles(const std::string& folder) {
    FolderScan scan;
    std::error_code error;
    const fs::path path = PathOf(folder);
    if (folder.empty() || !fs::is_directory(path, error))
        return scan;
    scan.status = FolderScanStatus::Listed;
    // The standard library rather than Qt: Qt leaves out names that are not valid UTF-8.
    // An error ends the listing like its end.
    for (fs::directory_iterator entry(path, error); !error && entry != fs::directory_iterator();
         entry.increment(error)) {
        // Links count by what they lead to: folders, devices and broken links are left out.
        std::error_code typeError;
        if (!entry->is_regular_file(typeError))
            continue;
        std::string name = NarrowName(entry->path().filename());
        if (HasIwiExtension(name))
            scan.fileNames.push_back(std::move(name));
    }
    return scan;
}

bool HasSubfolderNamed(const std::string& folder, const std::string& name) {
    const QString path = QString::fromStdString(folder);
    if (path.isEmpty())
        return false;
    // Names are compared as listed, so "Raw" never passes for "raw", even where the file
    // system itself ignores case.
    const QString wanted = QString::fromStdString(name);
    QDirIterator entries(path, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    while (entries.hasNext()) {
        if (entries.nextFileInfo().fileName() == wanted)
            return true;
    }
    return false;
}
