#include "archive/archive_cache.h"

#include "texture/utf8_path.h"

#include <system_error>

namespace pictavo {

std::shared_ptr<ArchiveCache::Slot> ArchiveCache::Acquire(const std::string& path,
                                                          std::string& error) {
    std::error_code statError;
    const std::uintmax_t size = std::filesystem::file_size(PathOf(path), statError);
    const auto modified =
        statError ? std::filesystem::file_time_type{} : LastWriteTime(PathOf(path), statError);
    if (statError) {
        error = "Cannot open " + path + ": " + statError.message();
        return nullptr;
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
    if (!slot->archive.Open(path, error)) {
        error = path + ": " + error;
        return nullptr;
    }
    slots_.push_front(slot);
    if (slots_.size() > capacity_) {
        slots_.pop_back();
    }
    return slot;
}

const ArchiveEntry* ArchiveCache::FindEntry(Slot& slot, const std::string& entryName,
                                            std::string& error) {
    const ArchiveEntry* entry = slot.archive.Find(entryName);
    if (entry == nullptr) {
        error = slot.path + ": " + entryName + ": no such entry";
    }
    return entry;
}

bool ArchiveCache::Read(const std::string& archivePath, const std::string& entryName,
                        std::vector<std::uint8_t>& bytes, std::string& error) {
    bytes.clear();
    const std::shared_ptr<Slot> slot = Acquire(archivePath, error);
    if (slot == nullptr) {
        return false;
    }
    const std::lock_guard guard(slot->lock);
    const ArchiveEntry* entry = FindEntry(*slot, entryName, error);
    if (entry == nullptr) {
        return false;
    }
    if (!slot->archive.Read(*entry, bytes, error)) {
        error = archivePath + ": " + error;
        return false;
    }
    return true;
}

bool ArchiveCache::Stamp(const std::string& archivePath, const std::string& entryName,
                         EntryStamp& stamp, std::string& error) {
    const std::shared_ptr<Slot> slot = Acquire(archivePath, error);
    if (slot == nullptr) {
        return false;
    }
    const std::lock_guard guard(slot->lock);
    const ArchiveEntry* entry = FindEntry(*slot, entryName, error);
    if (entry == nullptr) {
        return false;
    }
    stamp = {slot->size, slot->modified, entry->crc, entry->size};
    return true;
}

std::size_t ArchiveCache::Opens() const {
    const std::lock_guard guard(lock_);
    return opens_;
}

} // namespace pictavo
