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

Result<const ArchiveEntry*> ArchiveCache::FindEntry(Slot& slot, const std::string& entryName) {
    const ArchiveEntry* entry = slot.archive.Find(entryName);
    if (entry == nullptr) {
        return Failure(TextureError::kNoEntry, slot.path + ": " + entryName + ": no such entry");
    }
    return entry;
}

Status ArchiveCache::Read(const std::string& archivePath, const std::string& entryName,
                          std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    const Result<std::shared_ptr<Slot>> slot = Acquire(archivePath);
    if (!slot) {
        return slot.error();
    }
    Slot& held = *slot.value();
    const std::lock_guard guard(held.lock);
    const Result<const ArchiveEntry*> entry = FindEntry(held, entryName);
    if (!entry) {
        return entry.error();
    }
    if (Status read = held.archive.Read(*entry.value(), bytes); !read) {
        return Prefixed(archivePath, read.error());
    }
    return {};
}

Result<EntryStamp> ArchiveCache::Stamp(const std::string& archivePath,
                                       const std::string& entryName) {
    const Result<std::shared_ptr<Slot>> slot = Acquire(archivePath);
    if (!slot) {
        return slot.error();
    }
    Slot& held = *slot.value();
    const std::lock_guard guard(held.lock);
    const Result<const ArchiveEntry*> entry = FindEntry(held, entryName);
    if (!entry) {
        return entry.error();
    }
    return EntryStamp{held.size, held.modified, entry.value()->crc, entry.value()->size};
}

std::size_t ArchiveCache::Opens() const {
    const std::lock_guard guard(lock_);
    return opens_;
}

} // namespace pictavo
