#pragma once

#include <string>
#include <string_view>

namespace pictavo {

inline constexpr char kDefaultUpdateServer[] = "http://updates.pictavo.varnel.net";
inline constexpr char kManifestPath[] = "/Application_xml/Pictavo_update_check.rar";
inline constexpr char kArchivePath[] = "/downloads.php?id=7";

// The update server's address followed by path; the settings value "UpdateServer" replaces
// the built-in address when it is set.
std::string UpdateUrl(std::string_view path);

} // namespace pictavo
