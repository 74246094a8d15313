#pragma once

#include "archive/zip_archive.h"
#include "texture/result.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace pictavo {

// What tells one version of an entry from another without reading it: its archive's size
// and modification time, and the entry's own CRC and size.
struct EntryStamp {
    std::uintmax_t archiveSize = 0;
    std::filesystem::file_time_type archiveModified;
    std::uint32_t crc = 0;
    std::uint64_t size = 0;
};

// Archives kept open between reads, so that reading entries of one archive one after
// another (a batch export, clicking through a list) parses its directory once; the file
// itself is opened only while an entry is read. An archive
// that changed on disk since it was opened is opened again. Safe from any thread: each
// archive is read by one thread at a time, different archives at once.
class ArchiveCache {
public:
    explicit ArchiveCache(std::size_t capacity) : capacity_(capacity) {}

    // Reads the entry into `bytes`. A failure says "archive: reason" or
    // "archive: entry: reason".
    Status Read(const std::string& archivePath, const std::string& entryName,
                std::vector<std::uint8_t>& bytes);

    // The entry's stamp, from the archive's directory; failures as for Read.
    Result<EntryStamp> Stamp(const std::string& archivePath, const std::string& entryName);

    // How many times an archive was opened so far.
    std::size_t Opens() const;

private:
    struct Slot {
        std::string path;
        std::uintmax_t size = 0;
        std::filesystem::file_time_type modified;
        std::mutex lock; // held while the archive reads
        ZipArchive archive;
    };

    Result<std::shared_ptr<Slot>> Acquire(const std::string& path);
    // What `use(slot, entry)` gives for the archive's entry of that name, the archive open
    // and its lock held meanwhile.
    template <typename Use>
    auto WithEntry(const std::string& archivePath, const std::string& entryName, Use use)
        -> decltype(use(std::declval<Slot&>(), std::declval<const ArchiveEntry&>()));

    const std::size_t capacity_;
    mutable std::mutex lock_;
    std::list<std::shared_ptr<Slot>> slots_; // most recently used first
    std::size_t opens_ = 0;
};

} // namespace pictavo
