#pragma once

#include <string>

namespace pictavo {

// The last part of a path, also of a folder's path that ends in a separator.
std::string FileNameOf(const std::string& path);

// "name.iwi [iw_07.iwd]": an image of a game's archive beside the game's own files, or of
// one folder or archive among several. The name comes first so that the filter still finds
// it.
std::string MarkedName(const std::string& name, const std::string& archivePath);
// The image name of a list text, without its archive mark.
std::string UnmarkedName(const std::string& text);

} // namespace pictavo
