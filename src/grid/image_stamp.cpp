#include "grid/image_stamp.h"

#include "texture/utf8_path.h"

#include <filesystem>
#include <system_error>

namespace pictavo {
namespace {

namespace fs = std::filesystem;

std::string Ticks(fs::file_time_type time) {
    return std::to_string(time.time_since_epoch().count());
}

// The same file reached by another relative path is the same image.
std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(PathOf(path), error);
    return error ? path : PathText(absolute);
}

} // namespace

Result<std::string> ImageStamp(const ImageLocation& where, ArchiveCache& archives) {
    if (where.InArchive()) {
        const Result<EntryStamp> found = archives.Stamp(where.archivePath, where.entryName);
        if (!found) {
            return found.error();
        }
        const EntryStamp& entry = found.value();
        return "zip\n" + AbsolutePath(where.archivePath) + '\n' +
               std::to_string(entry.archiveSize) + '\n' + Ticks(entry.archiveModified) + '\n' +
               where.entryName + '\n' + std::to_string(entry.crc) + '\n' +
               std::to_string(entry.size);
    }
    std::error_code statError;
    const fs::path path = PathOf(where.filePath);
    const std::uintmax_t size = fs::file_size(path, statError);
    const fs::file_time_type modified =
        statError ? fs::file_time_type{} : LastWriteTime(path, statError);
    if (statError) {
        return Failure(TextureError::kOpen, where.filePath + ": " + statError.message());
    }
    return "file\n" + AbsolutePath(where.filePath) + '\n' + std::to_string(size) + '\n' +
           Ticks(modified);
}

} // namespace pictavo
