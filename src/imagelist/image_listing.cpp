#include "imagelist/image_listing.h"

#include "archive/game_archives.h"
#include "archive/marked_name.h"
#include "archive/zip_archive.h"
#include "platform/directory_scan.h"
#include "texture/file_kinds.h"
#include "texture/utf8_path.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <iterator>
#include <map>
#include <string_view>

namespace pictavo {
namespace {

// Archive entries separate their folders with '/' on every system.
std::string EntryFileName(const std::string& entry) {
    const std::size_t slash = entry.rfind('/');
    return slash == std::string::npos ? entry : entry.substr(slash + 1);
}

template <std::size_t N>
bool HasAnyExtension(const std::string& name, const std::array<std::string_view, N>& extensions) {
    return std::ranges::any_of(extensions, [&](std::string_view extension) {
        return HasExtensionNoCase(name, "." + std::string(extension));
    });
}

} // namespace

bool IsImageName(const std::string& name) {
    return HasAnyExtension(name, kTextureExtensions);
}

bool IsArchiveName(const std::string& name) {
    return HasAnyExtension(name, kArchiveExtensions);
}

ImageListing ListFolderImages(const std::string& folder) {
    ImageListing listing;
    const FolderScan scan = ScanFiles(folder, IsImageName);
    if (scan.status == FolderScanStatus::FolderMissing) {
        listing.problems.push_back(folder + ": not a folder that can be read");
    }
    for (const std::string& name : scan.fileNames) {
        listing.images.push_back({name, {name, PathText(PathOf(folder) / PathOf(name)), "", ""}});
    }
    return listing;
}

ImageListing ListArchiveImages(const std::string& archivePath) {
    ImageListing listing;
    ZipArchive archive;
    if (const Status opened = archive.Open(archivePath); !opened) {
        listing.problems.push_back(Prefixed(FileNameOf(archivePath), opened.error()).text);
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

ListedImage ListedFile(const std::string& path) {
    const std::string name = FileNameOf(path);
    return {name, {name, path, "", ""}};
}

ImageListing ListGameArchiveImages(const std::vector<std::string>& archivePaths) {
    GameArchiveListing archived = ListArchivedImages(archivePaths);
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

ImageListing ListOpenedFolder(const std::string& folder) {
    ImageListing listing = ListFolderImages(folder);
    const std::vector<std::string> archives = GameArchivePaths(folder);
    if (!archives.empty()) {
        ImageListing archived = ListGameArchiveImages(archives);
        std::move(archived.images.begin(), archived.images.end(),
                  std::back_inserter(listing.images));
        std::move(archived.problems.begin(), archived.problems.end(),
                  std::back_inserter(listing.problems));
    }
    return listing;
}

} // namespace pictavo
