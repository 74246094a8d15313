#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

// How long a watched file must stay quiet before it is taken as whole.
struct FileWatchTiming {
    int settleMs = 200; // quiet after the last change before looking
    int stableMs = 150; // between the two looks that must agree
};

// A file's size and time of last writing, as one look saw them.
struct FileLook {
    std::int64_t size = -1;
    std::int64_t modified = 0; // in the file system's own ticks
    bool operator==(const FileLook&) const = default;
};

// The file as it is now; none when it is missing or not a plain file.
std::optional<FileLook> LookAt(const std::filesystem::path& path);

// When a changed file counts as saved whole: no change has come for `settleMs`, and then its
// size and time stay the same across a further look `stableMs` later. Whoever watches feeds
// it the changes and the looks, and waits as it says.
class SettleRule {
public:
    struct Next {
        enum class Step { kWait, kSettled, kGone } step = Step::kWait;
        int waitMs = 0; // kWait: look again after this long
    };

    explicit SettleRule(FileWatchTiming timing = {}) : timing_(timing) {}

    // A change was seen: the quiet starts over. Returns how long to wait before looking.
    int Changed();
    // What a look taken once the wait ran out says: wait and look again, settled, or gone
    // (its return shows as another change).
    Next Looked(const std::optional<FileLook>& look);

private:
    FileWatchTiming timing_;
    std::optional<FileLook> last_;
};
