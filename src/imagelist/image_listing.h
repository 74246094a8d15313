#pragma once

#include "archive/image_location.h"
#include "archive/marked_name.h"

#include <string>
#include <vector>

namespace pictavo {

// One row of the image list: the text it shows and where the image lives.
struct ListedImage {
    std::string text;
    ImageLocation where;
    // Read through the image object's file steps, as a game's own image files always were;
    // everything else is read into memory whole.
    bool gameFile = false;
};

struct ImageListing {
    std::vector<ListedImage> images;
    std::vector<std::string> problems; // one line each; none stops the listing
};

// Whether a name ends in ".iwi" or ".dds", in any case.
bool IsImageName(const std::string& name);
// Whether a name ends in ".iwd" or ".zip", in any case.
bool IsArchiveName(const std::string& name);

// The IWI and DDS files of a folder, in the order the file system gives them.
ImageListing ListFolderImages(const std::string& folder);
// The IWI and DDS entries of an archive, in any of its folders; for the same name the later
// entry wins, as the games load them.
ImageListing ListArchiveImages(const std::string& archivePath);
// An image file, under its own name.
ListedImage ListedFile(const std::string& path);
// The images a game loads from its main/*.iwd archives (GameArchivePaths, in load order),
// marked with their archive.
ImageListing ListGameArchiveImages(const std::vector<std::string>& archivePaths);
// What an opened folder lists: its IWI and DDS files, and when it is a game's root (it holds
// main/*.iwd, as Call of Duty 2's does) the images of those archives after them, as the
// game's own list shows them.
ImageListing ListOpenedFolder(const std::string& folder);

} // namespace pictavo
