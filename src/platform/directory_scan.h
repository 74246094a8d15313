#pragma once

#include <string>
#include <vector>

enum class FolderScanStatus { Listed, FolderMissing };

struct FolderScan {
    FolderScanStatus status = FolderScanStatus::FolderMissing;
    // File names without folder, in the order the file system returned them, with the bytes
    // it holds them in (UTF-8 on Windows), whether or not they are UTF-8.
    std::vector<std::string> fileNames;
};

// The regular files of `folder` whose extension is ".iwi" in any case, hidden ones included.
// Folders and other non-files are skipped even when their name matches.
FolderScan ScanIwiFiles(const std::string& folder);

// Whether `folder` holds a folder named exactly `name`, capitals counted on every system.
bool HasSubfolderNamed(const std::string& folder, const std::string& name);
