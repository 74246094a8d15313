#include "platform/open_filters.h"

#include <cctype>
#include <initializer_list>

namespace pictavo {
namespace {

using Extensions = std::initializer_list<const char*>;

// Read by the texture reader; listed, and compared.
constexpr Extensions kImages{"iwi", "dds"};
// Opened as lists of the images they hold.
constexpr Extensions kArchives{"iwd", "zip"};
// Read by the picture decoders; compared.
constexpr Extensions kPictures{"png", "tga", "jpg", "jpeg", "bmp", "psd"};

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// "Name (*.iwi *.IWI ...);;All files (*)".
std::string Filter(const char* name, std::initializer_list<Extensions> groups) {
    std::string patterns;
    for (const Extensions& group : groups) {
        for (const std::string extension : group) {
            for (const std::string& cased : {extension, Upper(extension)})
                patterns += (patterns.empty() ? "*." : " *.") + cased;
        }
    }
    return std::string(name) + " (" + patterns + ");;All files (*)";
}

} // namespace

std::string OpenFileFilter() {
    return Filter("Images and archives", {kImages, kArchives});
}

std::string CompareFileFilter() {
    return Filter("Images", {kImages, kPictures});
}

} // namespace pictavo
