#pragma once

#include "watch/change_notices.h"
#include "watch/settle_rule.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <vector>

struct FolderWatchSetup {
    std::vector<std::filesystem::path> folders;
    bool recursive = false; // the folders below them too
    bool poll = false;      // look rather than wait for the system's notices
    int pollMs = 500;       // between looks, when looking
    FileWatchTiming timing;
    // Which changed files count; the others are never looked at.
    std::function<bool(const std::filesystem::path&)> wanted;
};

// Watches folders and hands over the files added or changed in them once each has settled
// (see SettleRule), a burst of saves together. Looks instead of waiting for the system's
// notices where those cannot be had, or when asked to.
class FolderWatch {
public:
    // `notices` tell of changes; none: the system's, or looking where those cannot be had.
    explicit FolderWatch(FolderWatchSetup setup, std::unique_ptr<ChangeNotices> notices = nullptr);

    bool Polling() const { return polling_; }

    // Waits until changed files have settled and none is still settling, and returns them;
    // once `shouldStop` holds, returns at once with what had settled.
    std::vector<std::filesystem::path> NextBatch(const std::function<bool()>& shouldStop);

private:
    using Clock = std::chrono::steady_clock;
    struct Settling {
        SettleRule rule;
        Clock::time_point due;
    };

    // Looks at the files whose wait ran out; moves those settled into `settled_`.
    void LookAtDue(Clock::time_point now);
    int WaitMs(Clock::time_point now) const;

    FolderWatchSetup setup_;
    std::unique_ptr<ChangeNotices> notices_;
    bool polling_ = false;
    std::map<std::filesystem::path, Settling> settling_;
    std::vector<std::filesystem::path> settled_;
    // How each file was when it last settled: a notice that changed nothing (a close after
    // the last write, a change of rights) brings no second conversion.
    std::map<std::filesystem::path, FileLook> handedOver_;
    Clock::time_point firstSettled_;
};
