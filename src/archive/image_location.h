#pragma once

#include "texture/result.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pictavo {

// Where a listed image lives: a file on disk, or an entry of a zip archive (.iwd).
struct ImageLocation {
    std::string name;        // file name shown in lists, without folder
    std::string filePath;    // the file on disk; empty for an archive entry
    std::string archivePath; // the archive holding the entry
    std::string entryName;   // the entry's name inside the archive

    bool InArchive() const { return filePath.empty(); }
};

// Reads the whole image into `bytes`, from its file or its archive entry. A failure names
// the file or the archive.
Status ReadImageBytes(const ImageLocation& where, std::vector<std::uint8_t>& bytes);

} // namespace pictavo
