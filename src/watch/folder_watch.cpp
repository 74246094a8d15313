#include "watch/folder_watch.h"

#include <algorithm>
#include <utility>

namespace fs = std::filesystem;

namespace {

// The longest wait without looking at the stop: a signal may come just before a wait starts.
constexpr int kLongestWaitMs = 250;
// A batch is handed over even while other files keep changing after this long.
constexpr auto kLongestBatchWait = std::chrono::seconds(2);

} // namespace

FolderWatch::FolderWatch(FolderWatchSetup setup, std::unique_ptr<ChangeNotices> notices)
    : setup_(std::move(setup)), notices_(std::move(notices)) {
    if (!notices_ && !setup_.poll) {
        notices_ = SystemNotices(setup_.folders, setup_.recursive);
    }
    if (!notices_) {
        polling_ = true;
        notices_ = PolledNotices(setup_.folders, setup_.recursive, setup_.pollMs);
    }
}

void FolderWatch::LookAtDue(Clock::time_point now) {
    for (auto it = settling_.begin(); it != settling_.end();) {
        auto& [path, file] = *it;
        if (file.due > now) {
            ++it;
            continue;
        }
        const std::optional<FileLook> look = LookAt(path);
        const SettleRule::Next next = file.rule.Looked(look);
        if (next.step == SettleRule::Next::Step::kWait) {
            file.due = now + std::chrono::milliseconds(next.waitMs);
            ++it;
            continue;
        }
        if (next.step == SettleRule::Next::Step::kSettled) {
            if (settled_.empty()) {
                firstSettled_ = now;
            }
            settled_.push_back(path);
            handedOver_[path] = *look;
        }
        it = settling_.erase(it);
    }
}

int FolderWatch::WaitMs(Clock::time_point now) const {
    auto wait = std::chrono::milliseconds(kLongestWaitMs);
    for (const auto& [path, file] : settling_) {
        wait = std::min(wait, std::chrono::ceil<std::chrono::milliseconds>(file.due - now));
    }
    return static_cast<int>(std::max<std::int64_t>(wait.count(), 0));
}

std::vector<fs::path> FolderWatch::NextBatch(const std::function<bool()>& shouldStop) {
    std::vector<fs::path> changed;
    while (!shouldStop()) {
        LookAtDue(Clock::now());
        if (!settled_.empty() &&
            (settling_.empty() || Clock::now() - firstSettled_ > kLongestBatchWait)) {
            break;
        }
        changed.clear();
        notices_->Wait(WaitMs(Clock::now()), changed);
        const Clock::time_point now = Clock::now();
        for (const fs::path& path : changed) {
            const auto before = handedOver_.find(path);
            if (before != handedOver_.end() && LookAt(path) == before->second) {
                continue;
            }
            if (!setup_.wanted || setup_.wanted(path)) {
                Settling& file =
                    settling_.try_emplace(path, Settling{SettleRule(setup_.timing), {}})
                        .first->second;
                file.due = now + std::chrono::milliseconds(file.rule.Changed());
                // Written again after it settled: it waits for the new save.
                std::erase(settled_, path);
            }
        }
    }
    return std::exchange(settled_, {});
}
