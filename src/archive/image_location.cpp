#include "archive/image_location.h"

#include "archive/archive_cache.h"
#include "archive/zip_archive.h"
#include "texture/byte_source.h"

namespace pictavo {
namespace {

// A few: a list or a batch moves through one archive at a time, a game holds a few dozen.
constexpr std::size_t kOpenArchives = 4;

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
    FileSource source;
    if (const TextureError opened = source.Open(path); opened != TextureError::kNone) {
        error = path + ": " + ErrorText(opened);
        return false;
    }
    if (source.Size() > kMaxArchiveEntryBytes) {
        error = path + ": larger than the " + std::to_string(kMaxArchiveEntryBytes >> 20) +
                " MB an image may have";
        return false;
    }
    bytes.resize(static_cast<std::size_t>(source.Size()));
    if (source.ReadAt(0, bytes.data(), bytes.size()) != bytes.size()) {
        bytes.clear();
        error = path + ": " + ErrorText(TextureError::kOpen);
        return false;
    }
    return true;
}

} // namespace

bool ReadImageBytes(const ImageLocation& where, std::vector<std::uint8_t>& bytes,
                    std::string& error) {
    bytes.clear();
    if (!where.InArchive()) {
        return ReadWholeFile(where.filePath, bytes, error);
    }
    static ArchiveCache cache(kOpenArchives);
    return cache.Read(where.archivePath, where.entryName, bytes, error);
}

} // namespace pictavo
