#include "archive/archive_cache.h"

#include "texture/utf8_path.h"

#include <system_error>

namespace pictavo {

Result<std::shared_ptr<ArchiveCache::Slot>> ArchiveCache::Acquire(const std::string& path) {
    std::error_code statError;
    const std::uintmax_t size = std::filesystem::file_size(PathOf(path), statError);
    const auto modified =
        statError ? std::filesystem::file_time_type{} : LastWriteTime(PathOf(path), statError);
    if (statError) {
        return Failure(TextureError::kOpen, "Cannot open " + path + ": " + statError.message());
    }

    const std::lock_guard guard(lock_);
    for (auto it = slots_.begin(); it != slots_.end(); ++it) {
        if ((*it)->path != path) {
            continue;
        }
        if ((*it)->size == size && (*it)->modified == modified) {
            slots_.splice(slots_.begin(), slots_, it);
            return slots_.front();
        }
        slots_.erase(it); // changed on disk; a reader still holding it finishes with the old
        break;
    }
    auto slot = std::make_shared<Slot>();
    slot->path = path;
    slot->size = size;
    slot->modified = modified;
    ++opens_;
    if (Status opened = slot->archive.Open(path); !opened) {
        return Prefixed(path, opened.error());
    }
    slots_.push_front(slot);
    if (slots_.size() > capacity_) {
        slots_.pop_back();
    }
    return slot;
}

template <typename Use>
auto ArchiveCache::WithEntry(const std::string& archivePath, const std::string& entryName, Use use)
    -> decltype(use(std::declval<Slot&>(), std::declval<const ArchiveEntry&>())) {
    const Result<std::shared_ptr<Slot>> slot = Acquire(archivePath);
    if (!slot) {
        return slot.error();
    }
    Slot& held = *slot.value();
    const std::lock_guard guard(held.lock);
    const ArchiveEntry* entry = held.archive.Find(entryName);
    if (entry == nullptr) {
        return Failure(TextureError::kNoEntry, held.path + ": " + entryName + ": no such entry");
    }
    return use(held, *entry);
}

Status ArchiveCache::Read(const std::string& archivePath, const std::string& entryName,
                          std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    return WithEntry(archivePath, entryName, [&](Slot& held, const ArchiveEntry& entry) {
        if (Status read = held.archive.Read(entry, bytes); !read) {
            return Status(Prefixed(archivePath, read.error()));
        }
        return Status();
    });
}

Result<EntryStamp> ArchiveCache::Stamp(const std::string& archivePath,
                                       const std::string& entryName) {
    return WithEntry(archivePath, entryName, [](Slot& held, const ArchiveEntry& entry) {
        return Result<EntryStamp>(EntryStamp{held.size, held.modified, entry.crc, entry.size});
    });
}

std::size_t ArchiveCache::Opens() const {
    const std::lock_guard guard(lock_);
    return opens_;
}

} // namespace pictavo
