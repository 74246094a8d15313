#pragma once

#include "texture/result.h"

#include <string_view>

namespace pictavo {

// Whether an entry name stays inside the folder it is extracted or exported into; if not,
// kEntryRefused naming why: "..", an absolute path, a drive letter, a backslash (a separator
// on Windows).
Status SafeEntryName(std::string_view name);

// Whether the name stands for a folder rather than a file.
bool IsFolderEntryName(std::string_view name);

} // namespace pictavo
