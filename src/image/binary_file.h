#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace pictavo {

// A file opened for reading, with its size known up front so that every offset and
// length taken from the file can be checked before anything is allocated.
class InputFile {
public:
    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    // IWI_OK, IWI_ERR_PERMISSION or IWI_ERR_OPEN.
    int Open(const std::string& path);
    std::uint64_t Size() const { return size_; }

    // Reads up to `count` bytes at `offset`; returns how many arrived.
    std::size_t ReadAt(std::uint64_t offset, void* destination, std::size_t count);

private:
    std::FILE* file_ = nullptr;
    std::uint64_t size_ = 0;
};

// Writes beside the target and renames into place on Commit, so that a failed write never
// leaves a half-written file nor harms the file that was there before.
class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // IWI_OK, IWI_ERR_PERMISSION or IWI_ERR_OPEN.
    int Open(const std::string& target);
    void Write(const void* data, std::size_t count);
    // Replaces the target with what was written: IWI_OK, IWI_ERR_PERMISSION or IWI_ERR_OPEN.
    int Commit();

private:
    void Discard();

    std::FILE* file_ = nullptr;
    std::string target_;
    std::string temporary_;
    bool failed_ = false;
};

} // namespace pictavo
