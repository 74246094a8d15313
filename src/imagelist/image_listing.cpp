#include "imagelist/image_listing.h"

#include "archive/game_archives.h"
#include "archive/zip_archive.h"
#include "imagelist/native_path.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <system_error>

namespace pictavo {
namespace {

namespace fs = std::filesystem;

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           std::equal(tail.begin(), tail.end(), text.end() - static_cast<long>(tail.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

// Archive entries separate their folders with '/' on every system.
std::string EntryFileName(const std::string& entry) {
    const std::size_t slash = entry.rfind('/');
    return slash == std::string::npos ? entry : entry.substr(slash + 1);
}

std::string FileNameOf(const std::string& path) {
    return PathText(PathOf(path).filename());
}

} // namespace

bool IsImageName(const std::string& name) {
    return EndsWithNoCase(name, ".iwi") || EndsWithNoCase(name, ".dds");
}

bool IsArchiveName(const std::string& name) {
    return EndsWithNoCase(name, ".iwd") || EndsWithNoCase(name, ".zip");
}

std::string MarkedName(const std::string& name, const std::string& archivePath) {
    return name + " [" + FileNameOf(archivePath) + "]";
}

std::string UnmarkedName(const std::string& text) {
    const std::size_t mark = text.rfind(" [");
    if (mark == std::string::npos || text.back() != ']') {
        return text;
    }
    return text.substr(0, mark);
}

ImageListing ListFolderImages(const std::string& folder) {
    ImageListing listing;
    std::error_code error;
    // An error ends the listing like its end.
    for (fs::directory_iterator entry(PathOf(folder), error);
         !error && entry != fs::directory_iterator(); entry.increment(error)) {
        std::error_code typeError;
        const std::string name = PathText(entry->path().filename());
        if (!entry->is_regular_file(typeError) || !IsImageName(name)) {
            continue;
        }
        listing.images.push_back({name, {name, PathText(entry->path()), "", ""}});
    }
    if (error) {
        listing.problems.push_back(folder + ": " + error.message());
    }
    return listing;
}

ImageListing ListArchiveImages(const std::string& archivePath) {
    ImageListing listing;
    ZipArchive archive;
    std::string error;
    if (!archive.Open(archivePath, error)) {
        listing.problems.push_back(FileNameOf(archivePath) + ": " + error);
        return listing;
    }
    std::map<std::string, std::size_t> rowOfName;
    for (const ArchiveEntry& entry : archive.Entries()) {
        const std::string name = EntryFileName(entry.name);
        if (!IsImageName(name)) {
            continue;
        }
        ListedImage image{name, {name, "", archivePath, entry.name}};
        const auto [row, added] = rowOfName.try_emplace(name, listing.images.size());
        if (added) {
            listing.images.push_back(std::move(image));
        } else {
            listing.images[row->second] = std::move(image);
        }
    }
    for (const std::string& refused : archive.Refused()) {
        listing.problems.push_back(FileNameOf(archivePath) + ": " + refused);
    }
    return listing;
}

ImageListing ListImageFiles(const std::vector<std::string>& paths) {
    ImageListing listing;
    std::map<std::string, bool> listed;
    for (const std::string& path : paths) {
        const std::string name = FileNameOf(path);
        if (!listed.try_emplace(name, true).second) {
            listing.problems.push_back(path + ": an image of this name is listed already");
            continue;
        }
        listing.images.push_back({name, {name, path, "", ""}});
    }
    return listing;
}

ImageListing ListGameArchiveImages(const std::string& gameRoot) {
    GameArchiveListing archived = ListGameArchives(gameRoot);
    ImageListing listing;
    listing.problems = std::move(archived.problems);
    listing.images.reserve(archived.images.size());
    for (ArchivedImage& image : archived.images) {
        std::string text = MarkedName(image.name, image.archivePath);
        listing.images.push_back({std::move(text),
                                  {std::move(image.name), "", std::move(image.archivePath),
                                   std::move(image.entryName)}});
    }
    return listing;
}

} // namespace pictavo
