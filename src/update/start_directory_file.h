#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace pictavo {

// The start directory, one native separator and the name: where every update file lives.
std::string StartDirectoryFile(std::string_view name);

} // namespace pictavo
