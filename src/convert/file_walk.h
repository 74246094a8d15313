#pragma once

#include <filesystem>
#include <optional>
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

// The folders that hold what `paths` name, made absolute: each folder given, and the folder
// of each file given.
std::vector<std::filesystem::path> FoldersOf(const std::vector<std::string>& paths);

// What CollectSources would make of `changed`, an absolute path found in one of the FoldersOf
// `paths`: its source, or none when the walk would leave it out.
std::optional<SourceFile> SourceFor(const std::filesystem::path& changed,
                                    const std::vector<std::string>& paths, bool recursive,
                                    const std::filesystem::path& skipFolder);
