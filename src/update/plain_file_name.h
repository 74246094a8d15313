#pragma once

#include <string_view>

namespace pictavo {

// True for a bare file name that stays inside the folder it is joined to on every system: no
// separator, drive or "..", no leading dot, no characters Windows refuses, no device name.
bool IsPlainFileName(std::string_view name);

} // namespace pictavo
