#include "convert/file_walk.h"

#include "texture/ascii_case.h"
#include "texture/file_kinds.h"
#include "texture/utf8_path.h"

#include <algorithm>
#include <string_view>

namespace fs = std::filesystem;

std::string LowerExtension(const fs::path& path) {
    return pictavo::AsciiLower(pictavo::PathText(path.extension()));
}

namespace {

bool HasConvertibleExtension(const fs::path& path) {
    const std::string extension = LowerExtension(path);
    const auto named = [&](std::string_view known) { return extension.substr(1) == known; };
    return !extension.empty() && (std::ranges::any_of(pictavo::kTextureExtensions, named) ||
                                  std::ranges::any_of(pictavo::kPictureExtensions, named));
}

bool IsBelow(const fs::path& path, const fs::path& folder) {
    const fs::path relative = path.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != "..";
}

template <typename Iterator>
void AddFolder(const fs::path& folder, const fs::path& skipFolder, const fs::path& base,
               std::vector<SourceFile>& into) {
    std::vector<SourceFile> found;
    std::error_code error;
    for (Iterator it(folder, fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        const fs::path& path = it->path();
        std::error_code ignored;
        if (it->is_regular_file(ignored) && HasConvertibleExtension(path) &&
            (skipFolder.empty() || !IsBelow(AbsolutePath(path, base), skipFolder))) {
            found.push_back({path, path.lexically_relative(folder)});
        }
    }
    std::sort(found.begin(), found.end(),
              [](const SourceFile& a, const SourceFile& b) { return a.relative < b.relative; });
    into.insert(into.end(), found.begin(), found.end());
}

} // namespace

fs::path AbsolutePath(const fs::path& path, const fs::path& base) {
    return (path.is_absolute() ? path : base / path).lexically_normal();
}

std::vector<SourceFile> CollectSources(const std::vector<std::string>& paths, bool recursive,
                                       const fs::path& skipFolder) {
    std::error_code noFolder;
    const fs::path base = fs::current_path(noFolder);
    const fs::path skip = skipFolder.empty() ? fs::path() : AbsolutePath(skipFolder, base);
    std::vector<SourceFile> sources;
    for (const std::string& text : paths) {
        const fs::path path = pictavo::PathOf(text);
        std::error_code ignored;
        if (!fs::is_directory(path, ignored)) {
            sources.push_back({path, path.filename()});
        } else if (recursive) {
            AddFolder<fs::recursive_directory_iterator>(path, skip, base, sources);
        } else {
            AddFolder<fs::directory_iterator>(path, skip, base, sources);
        }
    }
    return sources;
}

namespace {

// A path given, absolute and without a trailing separator.
fs::path GivenPath(const std::string& text, const fs::path& base) {
    const fs::path path = AbsolutePath(pictavo::PathOf(text), base);
    return path.has_filename() ? path : path.parent_path();
}

} // namespace

std::vector<fs::path> FoldersOf(const std::vector<std::string>& paths) {
    std::error_code noFolder;
    const fs::path base = fs::current_path(noFolder);
    std::vector<fs::path> folders;
    for (const std::string& text : paths) {
        const fs::path path = GivenPath(text, base);
        std::error_code ignored;
        const fs::path folder = fs::is_directory(path, ignored) ? path : path.parent_path();
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
            folders.push_back(folder);
        }
    }
    return folders;
}

std::optional<SourceFile> SourceFor(const fs::path& changed, const std::vector<std::string>& paths,
                                    bool recursive, const fs::path& skipFolder) {
    std::error_code noFolder;
    const fs::path base = fs::current_path(noFolder);
    const fs::path skip = skipFolder.empty() ? fs::path() : AbsolutePath(skipFolder, base);
    // A folder's files are told by their extension; a file given is taken as it is.
    const bool walked =
        HasConvertibleExtension(changed) && (skip.empty() || !IsBelow(changed, skip));
    for (const std::string& text : paths) {
        const fs::path given = GivenPath(text, base);
        std::error_code ignored;
        if (!fs::is_directory(given, ignored)) {
            if (given == changed) {
                return SourceFile{pictavo::PathOf(text), changed.filename()};
            }
            continue;
        }
        const fs::path relative = changed.lexically_relative(given);
        if (walked && IsBelow(changed, given) &&
            (recursive || std::distance(relative.begin(), relative.end()) == 1)) {
            return SourceFile{pictavo::PathOf(text) / relative, relative};
        }
    }
    return std::nullopt;
}
