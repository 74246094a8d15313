#pragma once

#include <filesystem>
#include <string>

namespace pictavo {

// Path texts are UTF-8 on Windows, as Qt hands them over; elsewhere they are the file
// system's own bytes, kept as they are.
inline std::filesystem::path PathOf(const std::string& text) {
#ifdef _WIN32
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
#else
    return std::filesystem::path(text);
#endif
}

inline std::string PathText(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
#else
    return path.native();
#endif
}

} // namespace pictavo
