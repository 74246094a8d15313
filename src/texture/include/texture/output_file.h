#pragma once

#include "texture/texture_error.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace pictavo {

// What an output does to a file already standing under its name.
enum class IfExists { kReplace, kKeep };

// Writes beside the target and renames into place on Commit, so that a failed write never
// leaves a half-written file nor harms the file that was there before.
class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // kNone, kPermission or kOpen.
    TextureError Open(const std::string& target);
    void Write(const void* data, std::size_t count);
    // Puts what was written in the target's place: kNone, kPermission or kOpen; with kKeep, a
    // file already there stays untouched and the answer is kExists.
    TextureError Commit(IfExists ifExists = IfExists::kReplace);

private:
    // Gives up the written file, leaving the target's own as it was.
    TextureError Kept();
    void Discard();

    // Whole small files leave in one write.
    static constexpr std::size_t kBufferBytes = 64 * 1024;

    std::FILE* file_ = nullptr;
    std::unique_ptr<char[]> buffer_;
    std::string target_;
    std::string temporary_;
    bool failed_ = false;
};

} // namespace pictavo
