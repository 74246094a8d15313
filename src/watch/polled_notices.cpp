#include "watch/change_notices.h"
#include "watch/settle_rule.h"

#include <chrono>
#include <map>
#include <thread>

namespace fs = std::filesystem;

namespace {

class Polled : public ChangeNotices {
public:
    Polled(const std::vector<fs::path>& folders, bool recursive, int intervalMs)
        : folders_(folders), recursive_(recursive), interval_(intervalMs) {
        std::vector<fs::path> ignored;
        Scan(ignored); // what is there already is no change
        nextScan_ = Clock::now() + interval_;
    }

    void Wait(int waitMs, std::vector<fs::path>& changed) override {
        const Clock::time_point until = Clock::now() + std::chrono::milliseconds(waitMs);
        std::this_thread::sleep_until(std::min(until, nextScan_));
        if (Clock::now() >= nextScan_) {
            Scan(changed);
            nextScan_ = Clock::now() + interval_;
        }
    }

private:
    using Clock = std::chrono::steady_clock;

    template <typename Iterator> void ScanFolder(const fs::path& folder, auto& now) {
        std::error_code error;
        for (Iterator it(folder, fs::directory_options::skip_permission_denied, error), end;
             !error && it != end; it.increment(error)) {
            if (const std::optional<FileLook> look = LookAt(it->path())) {
                now.emplace(it->path(), *look);
            }
        }
    }

    void Scan(std::vector<fs::path>& changed) {
        std::map<fs::path, FileLook> now;
        for (const fs::path& folder : folders_) {
            if (recursive_) {
                ScanFolder<fs::recursive_directory_iterator>(folder, now);
            } else {
                ScanFolder<fs::directory_iterator>(folder, now);
            }
        }
        for (const auto& [path, look] : now) {
            const auto before = seen_.find(path);
            if (before == seen_.end() || before->second != look) {
                changed.push_back(path);
            }
        }
        seen_ = std::move(now);
    }

    std::vector<fs::path> folders_;
    bool recursive_;
    std::chrono::milliseconds interval_;
    Clock::time_point nextScan_;
    std::map<fs::path, FileLook> seen_;
};

} // namespace

std::unique_ptr<ChangeNotices> PolledNotices(const std::vector<fs::path>& folders, bool recursive,
                                             int intervalMs) {
    return std::make_unique<Polled>(folders, recursive, intervalMs);
}
