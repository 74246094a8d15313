#include "watch/settle_rule.h"

#include "texture/utf8_path.h"

std::optional<FileLook> LookAt(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        return std::nullopt;
    }
    const auto modified = pictavo::LastWriteTime(path, error);
    if (error) {
        return std::nullopt;
    }
    return FileLook{static_cast<std::int64_t>(size),
                    static_cast<std::int64_t>(modified.time_since_epoch().count())};
}

int SettleRule::Changed() {
    last_.reset();
    return timing_.settleMs;
}

SettleRule::Next SettleRule::Looked(const std::optional<FileLook>& look) {
    if (!look) {
        last_.reset();
        return {Next::Step::kGone};
    }
    if (look != last_) {
        // Still being written, or the first look: look again shortly.
        last_ = look;
        return {Next::Step::kWait, timing_.stableMs};
    }
    last_.reset();
    return {Next::Step::kSettled};
}
