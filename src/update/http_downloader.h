#pragma once

#include "update/download_progress.h"
#include "update/download_timeouts.h"

#include <curl/curl.h>
#include <fstream>
#include <string>

// Fetches one HTTP resource into one file in the start directory, resuming from the file's
// size when asked not to overwrite. Blocks the calling thread; every failure is thrown as a
// VarnelDownloadError. Use one object for one download: SetOutputFile, Download, destroy.
class HttpDownloader {
public:
    HttpDownloader() = default;
    HttpDownloader(const HttpDownloader&) = delete;
    HttpDownloader& operator=(const HttpDownloader&) = delete;

    // The file becomes the start directory's file of that name.
    void SetOutputFile(std::string fileName);
    // Always true: failures are thrown.
    bool Download(std::string url, bool overwrite, DownloadProgressFn progress);
    // Returns the write position: 0 with overwrite, else the size of the existing file.
    int OpenOutputFile(bool overwrite);
    // Only HTTP/1.1 answers are accepted.
    static bool CheckHttpVersion(CURL* request);

    void SetTimeouts(const DownloadTimeouts& timeouts) { timeouts_ = timeouts; }

private:
    class Transfer;

    void WriteChunk(const char* data, std::size_t size);
    void FinishOutput();
    void AbandonOutput();

    std::string outputPath_;
    std::ofstream output_;
    // With overwrite the body goes to a temporary sibling that replaces the file only once the
    // download has succeeded, so a failed download never destroys the previous copy.
    std::string writingPath_;
    bool replaceOnSuccess_ = false;
    DownloadTimeouts timeouts_;
};
