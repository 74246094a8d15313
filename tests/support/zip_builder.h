#pragma once

#include "image_files.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// Zip archives for the archive tests, the fuzz seeds and the benchmark, written by libzip,
// and patches to their records that make them lie.
namespace pictavo::testing {

struct ZipItem {
    ZipItem(std::string entryName, Bytes bytes, bool storedAsIs = false)
        : name(std::move(entryName)), data(std::move(bytes)), stored(storedAsIs) {}

    std::string name;
    Bytes data;
    bool stored = false;          // else deflated
    std::string password;         // AES-256 encrypted when set
    std::filesystem::path source; // data read from this file instead, for huge entries
};

void WriteZip(const std::filesystem::path& path, const std::vector<ZipItem>& items);
Bytes MakeZip(const std::vector<ZipItem>& items);

// Fields of an entry's central directory record and local header, in both at once.
enum class ZipField { kMethod, kCrc, kCompressedSize, kSize };
void PatchZipEntry(Bytes& zip, const std::string& name, ZipField field, std::uint32_t value);

} // namespace pictavo::testing
