#pragma once

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

// Reads the whole image into memory, from its file or its archive entry. False, with the
// reason in `error`, for anything the archive refuses to read.
bool ReadImageBytes(const ImageLocation& where, std::vector<std::uint8_t>& bytes,
                    std::string& error);

} // namespace pictavo
