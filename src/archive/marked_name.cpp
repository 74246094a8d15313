#include "archive/marked_name.h"

#include "texture/utf8_path.h"

#include <filesystem>

namespace pictavo {

std::string FileNameOf(const std::string& path) {
    std::filesystem::path file = PathOf(path);
    if (!file.has_filename()) {
        file = file.parent_path(); // a folder named with a separator at its end
    }
    return PathText(file.filename());
}

std::string MarkedName(const std::string& name, const std::string& archivePath) {
    return name + " [" + FileNameOf(archivePath) + "]";
}

std::string UnmarkedName(const std::string& text) {
    const std::size_t mark = text.rfind(" [");
    if (mark == std::string::npos || text.back() != ']') {
        return text;
    }
    return text.substr(0, mark);
}

} // namespace pictavo
