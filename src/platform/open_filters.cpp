#include "platform/open_filters.h"

#include "texture/file_kinds.h"

#include <cctype>
#include <initializer_list>
#include <span>
#include <string_view>

namespace pictavo {
namespace {

using Extensions = std::span<const std::string_view>;

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// "Name (*.iwi *.IWI ...);;All files (*)".
std::string Filter(const char* name, std::initializer_list<Extensions> groups) {
    std::string patterns;
    for (const Extensions& group : groups) {
        for (const std::string_view lower : group) {
            const std::string extension(lower);
            for (const std::string& cased : {extension, Upper(extension)})
                patterns += (patterns.empty() ? "*." : " *.") + cased;
        }
    }
    return std::string(name) + " (" + patterns + ");;All files (*)";
}

} // namespace

std::string OpenFileFilter() {
    return Filter("Images and archives", {kTextureExtensions, kArchiveExtensions});
}

std::string CompareFileFilter() {
    return Filter("Images", {kTextureExtensions, kPictureExtensions});
}

} // namespace pictavo
