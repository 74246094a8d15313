#include "archive/game_archives.h"

#include "archive/zip_archive.h"
#include "texture/utf8_path.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <string_view>
#include <system_error>

namespace pictavo {
namespace {

namespace fs = std::filesystem;

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return lower;
}

// The file name of an `images/*.iwi` entry, folder and extension in any case; empty otherwise.
std::string_view ImageNameOf(std::string_view entryName) {
    constexpr std::string_view kFolder = "images/";
    constexpr std::string_view kExtension = ".iwi";
    if (entryName.size() <= kFolder.size() + kExtension.size() ||
        Lower(entryName.substr(0, kFolder.size())) != kFolder ||
        Lower(entryName.substr(entryName.size() - kExtension.size())) != kExtension) {
        return {};
    }
    const std::string_view name = entryName.substr(kFolder.size());
    return name.find('/') == std::string_view::npos ? name : std::string_view{};
}

// The games' main/ folder, whatever case an install copied from Windows gave it.
std::vector<fs::path> MainFolders(const fs::path& root) {
    std::vector<fs::path> folders;
    std::error_code error;
    for (fs::directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        if (Lower(PathText(it->path().filename())) == "main" && it->is_directory(error)) {
            folders.push_back(it->path());
        }
    }
    return folders;
}

} // namespace

std::vector<std::string> GameArchivePaths(const std::string& gameRoot) {
    std::vector<fs::path> archives;
    for (const fs::path& folder : MainFolders(fs::path(gameRoot))) {
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            std::error_code typeError;
            if (Lower(PathText(it->path().extension())) == ".iwd" &&
                it->is_regular_file(typeError)) {
                archives.push_back(it->path());
            }
        }
    }
    // The games load them by name without regard to case; ties keep one fixed order.
    std::sort(archives.begin(), archives.end(), [](const fs::path& a, const fs::path& b) {
        const std::string lowerA = Lower(PathText(a.filename()));
        const std::string lowerB = Lower(PathText(b.filename()));
        return lowerA != lowerB ? lowerA < lowerB : a < b;
    });
    std::vector<std::string> paths;
    paths.reserve(archives.size());
    for (const fs::path& archive : archives) {
        paths.push_back(PathText(archive));
    }
    return paths;
}

bool HoldsGameArchives(const std::string& gameRoot) {
    return !GameArchivePaths(gameRoot).empty();
}

GameArchiveListing ListGameArchives(const std::string& gameRoot) {
    return ListArchivedImages(GameArchivePaths(gameRoot));
}

GameArchiveListing ListArchivedImages(const std::vector<std::string>& archivePaths) {
    GameArchiveListing listing;
    // Keyed by the lower-case name: the games find files without regard to case.
    std::map<std::string, ArchivedImage> byName;
    for (const std::string& path : archivePaths) {
        ZipArchive archive;
        if (Status opened = archive.Open(path); !opened) {
            listing.problems.push_back(Prefixed(path, opened.error()).text);
            continue;
        }
        for (const std::string& refused : archive.Refused()) {
            listing.problems.push_back(path + ": " + refused);
        }
        for (const ArchiveEntry& entry : archive.Entries()) {
            const std::string_view name = ImageNameOf(entry.name);
            if (!name.empty()) {
                byName.insert_or_assign(Lower(name),
                                        ArchivedImage{std::string(name), path, entry.name});
            }
        }
    }
    listing.images.reserve(byName.size());
    for (auto& [key, image] : byName) {
        listing.images.push_back(std::move(image));
    }
    return listing;
}

} // namespace pictavo
