#include "archive/entry_name.h"

#include <algorithm>

namespace pictavo {

std::string UnsafeEntryNameReason(std::string_view name) {
    if (name.empty()) {
        return "empty name";
    }
    if (name.front() == '/') {
        return "absolute path";
    }
    for (const char c : name) {
        if (c == '\\') {
            return "backslash in name";
        }
        if (c == ':') {
            return "drive letter or stream name";
        }
    }
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find('/', start), name.size());
        if (name.substr(start, end - start) == "..") {
            return "name leaves its folder (\"..\")";
        }
        start = end + 1;
    }
    return {};
}

bool IsFolderEntryName(std::string_view name) {
    return !name.empty() && name.back() == '/';
}

} // namespace pictavo
