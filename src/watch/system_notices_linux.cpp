#include "watch/change_notices.h"

#include <array>
#include <cerrno>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <unordered_map>

namespace fs = std::filesystem;

namespace {

// Writes from other machines to these never reach inotify.
bool OnNetwork(const fs::path& folder) {
    struct statfs about {};
    if (statfs(folder.c_str(), &about) != 0) {
        return false;
    }
    constexpr long kNfs = 0x6969, kSmb = 0x517B, kCifs = 0xFF534D42, kSmb2 = 0xFE534D42;
    const long type = static_cast<long>(about.f_type);
    return type == kNfs || type == kSmb || type == kCifs || type == kSmb2;
}

class Inotify : public ChangeNotices {
public:
    explicit Inotify(bool recursive)
        : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), recursive_(recursive) {}
    ~Inotify() override {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    Inotify(const Inotify&) = delete;
    Inotify& operator=(const Inotify&) = delete;

    // Watches the folder, and those below it when recursive; adds the files found in
    // folders below it to `found`.
    bool Add(const fs::path& folder, std::vector<fs::path>* found) {
        constexpr std::uint32_t kEvents =
            IN_CLOSE_WRITE | IN_MODIFY | IN_MOVED_TO | IN_CREATE | IN_ATTRIB;
        const int watch = inotify_add_watch(fd_, folder.c_str(), kEvents);
        if (watch < 0) {
            return false;
        }
        folders_[watch] = folder;
        std::error_code error;
        for (fs::directory_iterator
                 it(folder, fs::directory_options::skip_permission_denied, error),
             end;
             !error && it != end; it.increment(error)) {
            std::error_code ignored;
            if (recursive_ && it->is_directory(ignored)) {
                Add(it->path(), found);
            } else if (found != nullptr) {
                found->push_back(it->path());
            }
        }
        return true;
    }

    bool Ready() const { return fd_ >= 0; }

    void Wait(int waitMs, std::vector<fs::path>& changed) override {
        pollfd ready{fd_, POLLIN, 0};
        if (poll(&ready, 1, waitMs) <= 0) {
            return; // nothing, or a signal came
        }
        alignas(inotify_event) std::array<char, 16384> buffer;
        for (;;) {
            const ssize_t length = read(fd_, buffer.data(), buffer.size());
            if (length <= 0) {
                return;
            }
            for (ssize_t at = 0; at < length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                const auto folder = folders_.find(event->wd);
                if (folder == folders_.end() || event->len == 0) {
                    continue;
                }
                const fs::path path = folder->second / event->name;
                if ((event->mask & IN_ISDIR) == 0) {
                    changed.push_back(path);
                } else if (recursive_ && (event->mask & (IN_CREATE | IN_MOVED_TO)) != 0) {
                    // A folder made or moved in: its files are new as well.
                    Add(path, &changed);
                }
            }
        }
    }

private:
    int fd_;
    bool recursive_;
    std::unordered_map<int, fs::path> folders_;
};

} // namespace

std::unique_ptr<ChangeNotices> SystemNotices(const std::vector<fs::path>& folders, bool recursive) {
    auto notices = std::make_unique<Inotify>(recursive);
    if (!notices->Ready()) {
        return nullptr;
    }
    for (const fs::path& folder : folders) {
        if (OnNetwork(folder) || !notices->Add(folder, nullptr)) {
            return nullptr;
        }
    }
    return notices;
}
