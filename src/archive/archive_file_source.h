#pragma once

#include "texture/byte_source.h"

#include <cstdint>
#include <memory>
#include <string>
#include <zip.h>

namespace pictavo {

// An archive file as libzip reads it, opened for a read and let go after it: no handle stays
// on the file while its archive is listed or shown. Windows refuses to replace a file that
// another program holds open, and modders rebuild their .iwd while looking at it.
class ArchiveFileSource {
public:
    // A source over `path` for zip_open_from_source, which frees it; null, with `error` set,
    // when the file cannot be opened. `self` receives the source's state, for Release().
    static zip_source_t* Create(const std::string& path, ArchiveFileSource*& self,
                                zip_error_t* error);

    // Closes the file until libzip reads from it again.
    void Release();

private:
    explicit ArchiveFileSource(std::string path);
    ~ArchiveFileSource();

    static zip_int64_t Callback(void* state, void* data, zip_uint64_t length,
                                zip_source_cmd_t command);
    zip_int64_t Run(void* data, zip_uint64_t length, zip_source_cmd_t command);
    zip_int64_t Read(void* data, zip_uint64_t length);

    std::string path_;
    std::uint64_t size_ = 0; // when opened
    std::uint64_t offset_ = 0;
    std::unique_ptr<FileSource> file_; // while reading
    zip_error_t error_;
};

} // namespace pictavo
