#pragma once

// The downloader's one failure type: a short English text that the caller shows unchanged.
// Plain bytes, so it is thrown and caught by value.
struct VarnelDownloadError {
    static constexpr int kMessageSize = 80;

    explicit VarnelDownloadError(const char* text);

    char message[kMessageSize];
};
