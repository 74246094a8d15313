#pragma once

#include "iwi.h"

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

// Feeds one input through the whole path a user's file takes: load, describe, export.
inline int FuzzOneFile(const std::uint8_t* data, std::size_t size, const char* extension) {
    static const std::filesystem::path dir = [] {
        auto path = std::filesystem::temp_directory_path() /
                    ("pictavo-fuzz-" + std::to_string(PICTAVO_PID));
        std::filesystem::create_directories(path);
        return path;
    }();
    const std::string path = (dir / (std::string("input.") + extension)).string();
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
