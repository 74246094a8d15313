#pragma once

#include "image_files.h"

#include <cstdint>
#include <filesystem>
#include <map>
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

// An entry as stored: its compressed bytes untouched, for checks that an update left it be.
struct RawZipEntry {
    std::uint16_t method = 0;
    std::uint32_t crc = 0;
    std::uint64_t size = 0;
    Bytes compressed;
    bool operator==(const RawZipEntry&) const = default;
};
// Every entry of the archive by name, read by libzip without inflating anything.
std::map<std::string, RawZipEntry> RawZipEntries(const std::filesystem::path& path);

// Fields of an entry's central directory record and local header, in both at once.
enum class ZipField { kMethod, kCrc, kCompressedSize, kSize };
void PatchZipEntry(Bytes& zip, const std::string& name, ZipField field, std::uint32_t value);

} // namespace pictavo::testing
