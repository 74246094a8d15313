#pragma once

#include <string>
#include <string_view>

namespace pictavo {

// Why an entry name could land outside the folder it is extracted or exported into: "..",
// an absolute path, a drive letter, a backslash (a separator on Windows); empty when the
// name is safe.
std::string UnsafeEntryNameReason(std::string_view name);

// Whether the name stands for a folder rather than a file.
bool IsFolderEntryName(std::string_view name);

} // namespace pictavo
