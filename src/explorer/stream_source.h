#pragma once

#include "texture/byte_source.h"

#include <objidl.h>

namespace pictavo {

// The bytes of a stream Explorer hands over: only the header and the level a thumbnail
// needs are read, never the whole file.
class StreamSource final : public ByteSource {
public:
    // Holds a reference to `stream` while it lives.
    explicit StreamSource(IStream* stream);
    StreamSource(const StreamSource&) = delete;
    StreamSource& operator=(const StreamSource&) = delete;
    ~StreamSource() override;

    bool Valid() const { return stream_ != nullptr; }
    std::uint64_t Size() const override { return size_; }
    std::size_t ReadAt(std::uint64_t offset, void* destination, std::size_t count) override;

private:
    IStream* stream_ = nullptr;
    std::uint64_t size_ = 0;
};

} // namespace pictavo
