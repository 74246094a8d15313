#pragma once

#include <chrono>

// Limits that keep a download from waiting for ever on a silent server. Tests shorten them.
struct DownloadTimeouts {
    std::chrono::milliseconds connect{15000};
    // A transfer slower than one byte per second for this long is given up.
    std::chrono::seconds stall{30};
};
