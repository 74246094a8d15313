#pragma once

#include <string>

namespace pictavo {

// Letters A to Z made lower case, whatever the locale: how the games, and we, compare file
// names and extensions. Other bytes (UTF-8 included) stay as they are.
inline std::string AsciiLower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

} // namespace pictavo
