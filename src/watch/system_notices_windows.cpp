#include "watch/change_notices.h"

#include <array>
#include <windows.h>

namespace fs = std::filesystem;

namespace {

// One folder's ReadDirectoryChangesW, overlapped, so that one wait covers every folder.
class FolderChanges {
public:
    FolderChanges(const fs::path& folder, bool recursive)
        : folder_(folder), recursive_(recursive),
          handle_(CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED,
                              nullptr)) {
        overlapped_.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    ~FolderChanges() {
        if (armed_) {
            CancelIoEx(handle_, &overlapped_);
            DWORD ignored = 0;
            GetOverlappedResult(handle_, &overlapped_, &ignored, TRUE);
        }
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
        if (overlapped_.hEvent != nullptr) {
            CloseHandle(overlapped_.hEvent);
        }
    }
    FolderChanges(const FolderChanges&) = delete;
    FolderChanges& operator=(const FolderChanges&) = delete;

    // Asks for the next changes; false where the folder gives none (some network shares).
    bool Arm() {
        ResetEvent(overlapped_.hEvent);
        armed_ = handle_ != INVALID_HANDLE_VALUE && overlapped_.hEvent != nullptr &&
                 ReadDirectoryChangesW(handle_, buffer_.data(), static_cast<DWORD>(buffer_.size()),
                                       recursive_,
                                       FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE |
                                           FILE_NOTIFY_CHANGE_LAST_WRITE,
                                       nullptr, &overlapped_, nullptr) != 0;
        return armed_;
    }

    HANDLE Event() const { return overlapped_.hEvent; }

    // The files the finished request names; then asks again.
    void Take(std::vector<fs::path>& changed) {
        DWORD length = 0;
        armed_ = false;
        if (GetOverlappedResult(handle_, &overlapped_, &length, FALSE) != 0) {
            for (DWORD at = 0; length > 0 && at + sizeof(FILE_NOTIFY_INFORMATION) <= length;) {
                const auto* notice =
                    reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer_.data() + at);
                if (notice->Action == FILE_ACTION_ADDED || notice->Action == FILE_ACTION_MODIFIED ||
                    notice->Action == FILE_ACTION_RENAMED_NEW_NAME) {
                    changed.push_back(
                        folder_ /
                        std::wstring(notice->FileName, notice->FileNameLength / sizeof(WCHAR)));
                }
                if (notice->NextEntryOffset == 0) {
                    break;
                }
                at += notice->NextEntryOffset;
            }
        }
        Arm();
    }

private:
    fs::path folder_;
    bool recursive_;
    HANDLE handle_;
    OVERLAPPED overlapped_{};
    bool armed_ = false;
    alignas(DWORD) std::array<unsigned char, 64 * 1024> buffer_{};
};

class DirectoryChanges : public ChangeNotices {
public:
    bool Add(const fs::path& folder, bool recursive) {
        folders_.push_back(std::make_unique<FolderChanges>(folder, recursive));
        return folders_.size() <= MAXIMUM_WAIT_OBJECTS && folders_.back()->Arm();
    }

    void Wait(int waitMs, std::vector<fs::path>& changed) override {
        std::vector<HANDLE> events;
        for (const auto& folder : folders_) {
            events.push_back(folder->Event());
        }
        const DWORD first =
            WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), FALSE, waitMs);
        if (first >= WAIT_OBJECT_0 + events.size()) {
            return;
        }
        // Every folder whose changes are in, not only the first.
        for (std::size_t i = first - WAIT_OBJECT_0; i < folders_.size(); ++i) {
            if (WaitForSingleObject(events[i], 0) == WAIT_OBJECT_0) {
                folders_[i]->Take(changed);
            }
        }
    }

private:
    std::vector<std::unique_ptr<FolderChanges>> folders_;
};

} // namespace

std::unique_ptr<ChangeNotices> SystemNotices(const std::vector<fs::path>& folders, bool recursive) {
    auto notices = std::make_unique<DirectoryChanges>();
    for (const fs::path& folder : folders) {
        if (!notices->Add(folder, recursive)) {
            return nullptr;
        }
    }
    return notices;
}
