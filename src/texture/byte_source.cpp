#include "texture/byte_source.h"

#include "texture/utf8_path.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace pictavo {

namespace {

bool SeekTo(std::FILE* file, std::uint64_t offset) {
#ifdef _WIN32
    return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

bool FileSize(std::FILE* file, std::uint64_t& size) {
#ifdef _WIN32
    struct _stat64 status;
    if (_fstat64(_fileno(file), &status) != 0 || status.st_size < 0) {
        return false;
    }
#else
    struct stat status;
    if (fstat(fileno(file), &status) != 0 || status.st_size < 0) {
        return false;
    }
#endif
    size = static_cast<std::uint64_t>(status.st_size);
    return true;
}

} // namespace

std::size_t SpanSource::ReadAt(std::uint64_t offset, void* destination, std::size_t count) {
    if (offset >= bytes_.size()) {
        return 0;
    }
    const std::size_t available = bytes_.size() - static_cast<std::size_t>(offset);
    const std::size_t n = count < available ? count : available;
    if (n > 0) {
        std::memcpy(destination, bytes_.data() + offset, n);
    }
    return n;
}

FileSource::~FileSource() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

TextureError FileSource::Open(const std::string& path) {
    errno = 0;
    file_ = OpenFile(path, "rb");
    if (file_ == nullptr) {
        return errno == EACCES ? TextureError::kPermission : TextureError::kOpen;
    }
    // Texture reads are few and large; stdio's own buffer would only add a copy.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    if (!FileSize(file_, size_)) {
        return TextureError::kOpen;
    }
    return TextureError::kNone;
}

std::size_t FileSource::ReadAt(std::uint64_t offset, void* destination, std::size_t count) {
    if (file_ == nullptr || offset > size_) {
        return 0;
    }
    if (prefix_ == nullptr && offset == 0 && count < kPrefixBytes && size_ > count) {
        const std::size_t wanted =
            size_ < kPrefixBytes ? static_cast<std::size_t>(size_) : kPrefixBytes;
        prefix_ = std::make_unique_for_overwrite<std::uint8_t[]>(wanted);
        prefixSize_ = ReadFromFile(0, prefix_.get(), wanted);
    }
    std::size_t got = 0;
    if (offset < prefixSize_) {
        got = std::min(count, prefixSize_ - static_cast<std::size_t>(offset));
        std::memcpy(destination, prefix_.get() + offset, got);
    }
    if (got == count) {
        return got;
    }
    return got +
           ReadFromFile(offset + got, static_cast<std::uint8_t*>(destination) + got, count - got);
}

std::size_t FileSource::ReadFromFile(std::uint64_t offset, void* destination, std::size_t count) {
    // A file converted whole is read front to back: no seek is needed then.
    if (offset != position_ && !SeekTo(file_, offset)) {
        position_ = kUnknownPosition;
        return 0;
    }
    const std::size_t got = std::fread(destination, 1, count, file_);
    position_ = got == count ? offset + got : kUnknownPosition;
    return got;
}

} // namespace pictavo
