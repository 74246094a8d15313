#pragma once

#include "image/iwi.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <process.h>
#define PICTAVO_PID _getpid()
#else
#include <unistd.h>
#define PICTAVO_PID getpid()
#endif

// The folder of this process's input file and of what the export writes beside it, removed
// with them when the fuzzer exits.
class FuzzFolder {
public:
    FuzzFolder()
        : path_(std::filesystem::temp_directory_path() /
                ("pictavo-fuzz-" + std::to_string(PICTAVO_PID))) {
        std::filesystem::create_directories(path_);
    }
    FuzzFolder(const FuzzFolder&) = delete;
    FuzzFolder& operator=(const FuzzFolder&) = delete;
    ~FuzzFolder() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Feeds one input through the whole path a user's file takes: load, describe, export.
inline int FuzzOneFile(const std::uint8_t* data, std::size_t size, const char* extension) {
    static const FuzzFolder folder;
    const std::string path = (folder.path() / (std::string("input.") + extension)).string();
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    IWI image;
    if (image.SetFile(path) == IWI_OK && image.GetFileType() != IWI_TYPE_NONE &&
        image.LoadFile() == IWI_OK) {
        image.GetFormatName();
        image.GetSizeText();
        image.WriteConvertedFile();
    }
    return 0;
}
