#pragma once

#include <cstddef>
#include <string>

namespace pictavo {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Windows accepts both slashes; elsewhere only the native one separates folders.
inline bool IsPathSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

// Position of the last separator in `path`, or npos.
std::size_t LastSeparator(const std::string& path);

} // namespace pictavo
