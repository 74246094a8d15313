#pragma once

#include <filesystem>
#include <string>
#include <vector>

// `path` made absolute and normal against `base`, the current folder asked for once rather
// than for every one of thousands of files.
std::filesystem::path AbsolutePath(const std::filesystem::path& path,
                                   const std::filesystem::path& base);

// The extension with its dot, in lower case: ".iwi".
std::string LowerExtension(const std::filesystem::path& path);

struct SourceFile {
    std::filesystem::path path;
    // Below the folder it was found in; its name when it was given itself.
    std::filesystem::path relative;
};

// Each path given that is not a folder, as it is; and each folder's texture and picture
// files (told by their extension, whatever its case), those of folders below it too when
// recursive, sorted. Files below `skipFolder` (where outputs go) are left out.
std::vector<SourceFile> CollectSources(const std::vector<std::string>& paths, bool recursive,
                                       const std::filesystem::path& skipFolder);
