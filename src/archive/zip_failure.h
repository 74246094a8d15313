#pragma once

#include "texture/result.h"

#include <string>

namespace pictavo {

// Why libzip could not open the archive at `path` (empty: one in memory), from its error code.
Failure OpenFailure(int code, const std::string& path);

} // namespace pictavo
