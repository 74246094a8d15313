#pragma once

#include "texture/texture_error.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

namespace pictavo {

// Where texture bytes come from: memory, a file, an archive entry. The size is known up
// front, so every offset a header gives can be checked before anything is allocated.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Reads up to `count` bytes at `offset`; returns how many arrived.
    virtual std::size_t ReadAt(std::uint64_t offset, void* destination, std::size_t count) = 0;
};

class SpanSource : public ByteSource {
public:
    explicit SpanSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    std::size_t ReadAt(std::uint64_t offset, void* destination, std::size_t count) override;

private:
    std::span<const std::uint8_t> bytes_;
};

class FileSource : public ByteSource {
public:
    FileSource() = default;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    ~FileSource() override;

    // kNone, kPermission or kOpen.
    TextureError Open(const std::string& path);
    std::uint64_t Size() const override { return size_; }
    std::size_t ReadAt(std::uint64_t offset, void* destination, std::size_t count) override;

private:
    static constexpr std::uint64_t kUnknownPosition = ~std::uint64_t{0};
    // Most game textures fit whole: their header and levels then cost one read.
    static constexpr std::size_t kPrefixBytes = 64 * 1024;

    std::size_t ReadFromFile(std::uint64_t offset, void* destination, std::size_t count);

    std::FILE* file_ = nullptr;
    std::uint64_t size_ = 0;
    std::uint64_t position_ = 0; // where the next read starts without a seek
    // The file's first bytes, read with the first read that starts there.
    std::unique_ptr<std::uint8_t[]> prefix_;
    std::size_t prefixSize_ = 0;
};

} // namespace pictavo
