#include "platform/directory_scan.h"

#include "texture/utf8_path.h"

#include <QDirIterator>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

bool HasExtensionNoCase(std::string_view name, std::string_view extension) {
    return name.size() >= extension.size() &&
           std::equal(extension.begin(), extension.end(), name.end() - extension.size(),
                      [](char wanted, char given) {
                          return std::tolower(static_cast<unsigned char>(given)) ==
                                 std::tolower(static_cast<unsigned char>(wanted));
                      });
}

FolderScan ScanFiles(const std::string& folder,
                     const std::function<bool(const std::string&)>& wanted) {
    FolderScan scan;
    std::error_code error;
    const fs::path path = pictavo::PathOf(folder);
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
        std::string name = pictavo::PathText(entry->path().filename());
        if (wanted(name))
            scan.fileNames.push_back(std::move(name));
    }
    return scan;
}

FolderScan ScanIwiFiles(const std::string& folder) {
    return ScanFiles(folder,
                     [](const std::string& name) { return HasExtensionNoCase(name, ".iwi"); });
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
