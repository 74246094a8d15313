#include "update/plain_file_name.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace pictavo {

namespace {

constexpr std::size_t kMaxNameLength = 255;
constexpr std::string_view kRefusedCharacters = "/\\:<>\"|?*";

bool IsRefusedCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F || kRefusedCharacters.find(c) != std::string_view::npos;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

// Windows opens a device for these whatever extension follows.
bool IsDeviceName(std::string_view name) {
    const std::string_view stem = name.substr(0, name.find('.'));
    static constexpr std::array<std::string_view, 4> devices = {"CON", "PRN", "AUX", "NUL"};
    if (std::any_of(devices.begin(), devices.end(),
                    [stem](std::string_view device) { return EqualsIgnoringCase(stem, device); }))
        return true;
    const bool numberedPort = stem.size() == 4 && stem[3] >= '1' && stem[3] <= '9' &&
                              (EqualsIgnoringCase(stem.substr(0, 3), "COM") ||
                               EqualsIgnoringCase(stem.substr(0, 3), "LPT"));
    return numberedPort;
}

} // namespace

bool IsPlainFileName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameLength)
        return false;
    if (name.front() == '.' || name.find("..") != std::string_view::npos)
        return false;
    // Windows drops trailing dots and blanks, which would make "CON." a device.
    if (name.back() == '.' || name.back() == ' ')
        return false;
    if (std::any_of(name.begin(), name.end(), IsRefusedCharacter))
        return false;
    return !IsDeviceName(name);
}

} // namespace pictavo
