#include "explorer/stream_source.h"

#include <algorithm>
#include <climits>

namespace pictavo {

StreamSource::StreamSource(IStream* stream) {
    STATSTG stat{};
    if (stream == nullptr || FAILED(stream->Stat(&stat, STATFLAG_NONAME))) {
        return;
    }
    stream_ = stream;
    stream_->AddRef();
    size_ = stat.cbSize.QuadPart;
}

StreamSource::~StreamSource() {
    if (stream_ != nullptr) {
        stream_->Release();
    }
}

std::size_t StreamSource::ReadAt(std::uint64_t offset, void* destination, std::size_t count) {
    if (stream_ == nullptr || offset >= size_) {
        return 0;
    }
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (FAILED(stream_->Seek(position, STREAM_SEEK_SET, nullptr))) {
        return 0;
    }
    auto* out = static_cast<unsigned char*>(destination);
    std::size_t total = 0;
    while (total < count) {
        // A stream reads at most a ULONG at a time, and may return less.
        const ULONG wanted = static_cast<ULONG>(std::min<std::size_t>(count - total, ULONG_MAX));
        ULONG read = 0;
        const HRESULT result = stream_->Read(out + total, wanted, &read);
        total += read;
        if (FAILED(result) || read == 0) {
            break;
        }
    }
    return total;
}

} // namespace pictavo
