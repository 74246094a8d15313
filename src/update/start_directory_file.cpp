#include "update/start_directory_file.h"

#include "settings/app_settings.h"

namespace pictavo {

std::string StartDirectoryFile(std::string_view name) {
    std::string path = theSettings.StartDirectory;
    path += static_cast<char>(std::filesystem::path::preferred_separator);
    path += name;
    return path;
}

} // namespace pictavo
