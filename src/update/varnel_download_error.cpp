#include "update/varnel_download_error.h"

#include <cstring>

VarnelDownloadError::VarnelDownloadError(const char* text) : message{} {
    // A longer text is cut at 79 characters so the message always stays terminated.
    std::strncpy(message, text, kMessageSize - 1);
}
