#include "grid/thumbnail_disk_cache.h"

#include "grid/thumbnail_file.h"
#include "texture/byte_source.h"
#include "texture/texture_writer.h"
#include "texture/utf8_path.h"

#include <algorithm>
#include <cstdio>
#include <system_error>
#include <vector>

namespace pictavo {
namespace {

namespace fs = std::filesystem;

constexpr char kExtension[] = ".thumb";
// Far above any file this cache writes: a larger one is not ours to read.
constexpr std::uint64_t kMaxFileBytes = 8 << 20;

// FNV-1a: names spread evenly over the subfolders; the key inside each file settles a clash.
std::uint64_t Hash(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : text) {
        hash = (hash ^ static_cast<std::uint8_t>(c)) * 1099511628211ull;
    }
    return hash;
}

bool ReadSmallFile(const fs::path& path, std::vector<std::uint8_t>& bytes) {
    FileSource source;
    if (source.Open(PathText(path)) != TextureError::kNone || source.Size() > kMaxFileBytes) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(source.Size()));
    return source.ReadAt(0, bytes.data(), bytes.size()) == bytes.size();
}

struct StoredFile {
    fs::path path;
    fs::file_time_type used;
    std::uint64_t size = 0;
};

std::vector<StoredFile> StoredFiles(const fs::path& folder) {
    std::vector<StoredFile> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (it->path().extension() != kExtension) {
            continue;
        }
        std::error_code statError;
        const std::uint64_t size = it->file_size(statError);
        const fs::file_time_type used = it->last_write_time(statError);
        if (!statError) {
            files.push_back({it->path(), used, size});
        }
    }
    return files;
}

} // namespace

ThumbnailDiskCache::ThumbnailDiskCache(fs::path folder, std::uint64_t limitBytes)
    : folder_(std::move(folder)), limit_(limitBytes) {}

fs::path ThumbnailDiskCache::FileOf(const std::string& key) const {
    char name[17];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(Hash(key)));
    return folder_ / std::string(name, 2) / (std::string(name + 2) + kExtension);
}

std::optional<GridThumbnail> ThumbnailDiskCache::Load(const std::string& key) {
    const fs::path path = FileOf(key);
    std::vector<std::uint8_t> bytes;
    if (!ReadSmallFile(path, bytes)) {
        return std::nullopt;
    }
    GridThumbnail thumbnail;
    std::error_code error;
    if (!DecodeThumbnailFile(bytes, key, thumbnail)) {
        // Damaged, or another key's under the same name: made again, it takes the place.
        if (fs::remove(path, error)) {
            const std::lock_guard guard(lock_);
            stored_ -= std::min<std::uint64_t>(stored_, bytes.size());
        }
        return std::nullopt;
    }
    // What was used last goes last.
    fs::last_write_time(path, fs::file_time_type::clock::now(), error);
    return thumbnail;
}

void ThumbnailDiskCache::Store(const std::string& key, const GridThumbnail& thumbnail) {
    std::vector<std::uint8_t> bytes;
    const fs::path path = FileOf(key);
    std::error_code error;
    if (!EncodeThumbnailFile(key, thumbnail, bytes) ||
        (fs::create_directories(path.parent_path(), error), error)) {
        return;
    }
    {
        // Counted before the file is there, so that it counts once.
        const std::lock_guard guard(lock_);
        CountOnce();
    }
    const std::uint64_t replaced = fs::exists(path, error) ? fs::file_size(path, error) : 0;
    if (WriteFileReplacing(PathText(path), bytes) != TextureError::kNone) {
        return;
    }
    const std::lock_guard guard(lock_);
    stored_ += bytes.size();
    stored_ -= std::min(stored_, replaced);
    if (stored_ > limit_) {
        Trim();
    }
}

fs::path ThumbnailDiskCache::SetAside() {
    const std::lock_guard guard(lock_);
    counted_ = true;
    stored_ = 0;
    fs::path aside = folder_;
    aside += ".cleared";
    std::error_code error;
    fs::remove_all(aside, error); // left by a run that ended while deleting
    fs::rename(folder_, aside, error);
    if (!error) {
        return aside;
    }
    // Not movable (a file in use on Windows): removed here, file by file.
    for (const StoredFile& file : StoredFiles(folder_)) {
        fs::remove(file.path, error);
    }
    return {};
}

void ThumbnailDiskCache::Clear() {
    if (const fs::path aside = SetAside(); !aside.empty()) {
        std::error_code error;
        fs::remove_all(aside, error);
    }
}

std::uint64_t ThumbnailDiskCache::StoredBytes() {
    const std::lock_guard guard(lock_);
    CountOnce();
    return stored_;
}

void ThumbnailDiskCache::CountOnce() {
    if (counted_) {
        return;
    }
    stored_ = 0;
    for (const StoredFile& file : StoredFiles(folder_)) {
        stored_ += file.size;
    }
    counted_ = true;
}

void ThumbnailDiskCache::Trim() {
    std::vector<StoredFile> files = StoredFiles(folder_);
    std::sort(files.begin(), files.end(),
              [](const StoredFile& a, const StoredFile& b) { return a.used < b.used; });
    stored_ = 0;
    for (const StoredFile& file : files) {
        stored_ += file.size;
    }
    const std::uint64_t target = limit_ - limit_ / 10;
    for (const StoredFile& file : files) {
        if (stored_ <= target) {
            break;
        }
        std::error_code error;
        if (fs::remove(file.path, error)) {
            stored_ -= file.size;
        }
    }
}

} // namespace pictavo
