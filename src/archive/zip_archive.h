#pragma once

#include "texture/result.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct zip; // libzip's archive handle
struct zip_error;
struct zip_source;

namespace pictavo {

class ArchiveFileSource;

// Largest entry read into memory; real textures stay far below it.
inline constexpr std::uint64_t kMaxArchiveEntryBytes = 256ull << 20;

struct ArchiveEntry {
    std::string name;        // path inside the archive, '/' separated, as stored
    std::uint64_t index = 0; // libzip's index
    std::uint64_t size = 0;  // declared uncompressed size
    std::uint64_t compressedSize = 0;
    std::uint32_t crc = 0; // as the directory records it; 0 where it records none
};

// An open zip archive (.iwd, .zip). Entries whose names could escape a folder ("..",
// absolute paths, drive letters, backslash tricks) or that are not files are not listed; each
// is noted in Refused() with its reason. Folder entries ("images/") are skipped silently.
// Not safe for use from two threads at once.
class ZipArchive {
public:
    ZipArchive();
    ~ZipArchive();
    ZipArchive(ZipArchive&&) noexcept;
    ZipArchive& operator=(ZipArchive&&) noexcept;
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // On failure a readable reason: "Not a zip archive", "Cannot open ...".
    Status Open(const std::string& path);
    // The same from bytes in memory, which must outlive the archive; Path() is then empty.
    Status OpenBytes(std::span<const std::uint8_t> bytes);

    const std::string& Path() const;
    const std::vector<ArchiveEntry>& Entries() const;
    const std::vector<std::string>& Refused() const; // "name: reason"

    // Reads a whole entry into `bytes`. Refuses ("name: reason") an entry above
    // kMaxArchiveEntryBytes, one that inflates to more or less than its declared size, a CRC
    // mismatch, an encrypted entry, an unsupported method. Never allocates more than the
    // declared size (capped) however the data lies.
    Status Read(const ArchiveEntry& entry, std::vector<std::uint8_t>& bytes);

    // Finds an entry by its exact stored name.
    const ArchiveEntry* Find(const std::string& name) const;

private:
    // Opens the archive `source` reads (taking it; null when making it failed with
    // `zipError`), named `path` in messages.
    Status OpenSource(::zip_source* source, ::zip_error& zipError, const std::string& path);
    void Adopt(::zip* archive, const std::string& path);
    void Close();

    ::zip* zip_ = nullptr;
    ArchiveFileSource* file_ = nullptr; // libzip's, for an archive read from a file
    std::string path_;
    std::vector<ArchiveEntry> entries_; // ascending libzip index
    std::vector<std::string> refused_;
};

} // namespace pictavo
