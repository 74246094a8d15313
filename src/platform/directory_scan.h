#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

enum class FolderScanStatus { Listed, FolderMissing };

struct FolderScan {
    FolderScanStatus status = FolderScanStatus::FolderMissing;
    // File names without folder, in the order the file system returned them, with the bytes
    // it holds them in (UTF-8 on Windows), whether or not they are UTF-8.
    std::vector<std::string> fileNames;
};

// Whether `name` ends in `extension` (".iwi"), letters in any case, as Windows matches them.
bool HasExtensionNoCase(std::string_view name, std::string_view extension);

// The regular files of `folder` whose names `wanted` accepts, hidden ones included. Folders
// and other non-files are skipped even when their name matches.
FolderScan ScanFiles(const std::string& folder,
                     const std::function<bool(const std::string&)>& wanted);
// The files of `folder` whose extension is ".iwi" in any case.
FolderScan ScanIwiFiles(const std::string& folder);

// Whether `folder` holds a folder named exactly `name`, capitals counted on every system.
bool HasSubfolderNamed(const std::string& folder, const std::string& name);
