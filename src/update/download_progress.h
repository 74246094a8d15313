#pragma once

#include <cstdint>

// Called after every chunk with the whole size and the bytes in the file so far. There is no
// context argument; a caller that needs its own object reaches it through a global.
using DownloadProgressFn = void (*)(std::uint32_t total, std::uint32_t done);
