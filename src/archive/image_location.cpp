#include "archive/image_location.h"

#include "archive/archive_cache.h"
#include "archive/zip_archive.h"
#include "texture/byte_source.h"

namespace pictavo {
namespace {

// A few: a list or a batch moves through one archive at a time, a game holds a few dozen.
constexpr std::size_t kOpenArchives = 4;

Status ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    FileSource source;
    if (const TextureError opened = source.Open(path); opened != TextureError::kNone) {
        return Prefixed(path, opened);
    }
    if (source.Size() > kMaxArchiveEntryBytes) {
        return Failure(TextureError::kTooLarge, path + ": larger than the " +
                                                    std::to_string(kMaxArchiveEntryBytes >> 20) +
                                                    " MB an image may have");
    }
    bytes.resize(static_cast<std::size_t>(source.Size()));
    if (source.ReadAt(0, bytes.data(), bytes.size()) != bytes.size()) {
        bytes.clear();
        return Prefixed(path, TextureError::kOpen);
    }
    return {};
}

} // namespace

Status ReadImageBytes(const ImageLocation& where, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    if (!where.InArchive()) {
        return ReadWholeFile(where.filePath, bytes);
    }
    static ArchiveCache cache(kOpenArchives);
    return cache.Read(where.archivePath, where.entryName, bytes);
}

} // namespace pictavo
