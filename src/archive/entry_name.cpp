#include "archive/entry_name.h"

#include <algorithm>

namespace pictavo {

Status SafeEntryName(std::string_view name) {
    const auto refused = [](const char* reason) {
        return Failure(TextureError::kEntryRefused, reason);
    };
    if (name.empty()) {
        return refused("empty name");
    }
    if (name.front() == '/') {
        return refused("absolute path");
    }
    for (const char c : name) {
        if (c == '\\') {
            return refused("backslash in name");
        }
        if (c == ':') {
            return refused("drive letter or stream name");
        }
    }
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find('/', start), name.size());
        if (name.substr(start, end - start) == "..") {
            return refused("name leaves its folder (\"..\")");
        }
        start = end + 1;
    }
    return {};
}

bool IsFolderEntryName(std::string_view name) {
    return !name.empty() && name.back() == '/';
}

} // namespace pictavo
