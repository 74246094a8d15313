#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace pictavo {

// The start directory, one native separator and the name: where every update file lives.
std::string StartDirectoryFile(std::string_view name);

// Our strings are UTF-8; this keeps non-ASCII folders working on Windows too.
std::filesystem::path Utf8Path(std::string_view text);

} // namespace pictavo
