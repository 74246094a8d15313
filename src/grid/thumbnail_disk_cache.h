#pragma once

#include "grid/grid_thumbnail.h"

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

namespace pictavo {

// Thumbnails kept on disk between runs, one file each below one folder, found by a key that
// names the image's version and the thumbnail's size. Once the files together pass the
// limit, those used longest ago go. Safe from any thread.
class ThumbnailDiskCache {
public:
    ThumbnailDiskCache(std::filesystem::path folder, std::uint64_t limitBytes);

    // The thumbnail stored under `key`, now counted as just used; none when there is none or
    // its file is damaged (the file then goes).
    std::optional<GridThumbnail> Load(const std::string& key);
    void Store(const std::string& key, const GridThumbnail& thumbnail);
    // Removes every stored thumbnail at once by moving the folder aside; the folder returned
    // (empty when nothing was moved) is the caller's to delete, on any thread.
    std::filesystem::path SetAside();
    // Removes every stored thumbnail, and waits for it.
    void Clear();
    // The bytes the stored thumbnails take, as far as this cache has counted them.
    std::uint64_t StoredBytes();

private:
    std::filesystem::path FileOf(const std::string& key) const;
    // The lock held: counts the files once, the first time it matters.
    void CountOnce();
    // The lock held: removes the files used longest ago until a tenth of the limit is free.
    void Trim();

    const std::filesystem::path folder_;
    const std::uint64_t limit_;
    std::mutex lock_; // over the count and the removals
    bool counted_ = false;
    std::uint64_t stored_ = 0;
};

} // namespace pictavo
