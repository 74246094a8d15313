#include "byte_source.h"

#include <cerrno>
#include <cstring>

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
    if (_fseeki64(file, 0, SEEK_END) != 0) {
        return false;
    }
    const __int64 end = _ftelli64(file);
#else
    if (fseeko(file, 0, SEEK_END) != 0) {
        return false;
    }
    const off_t end = ftello(file);
#endif
    if (end < 0) {
        return false;
    }
    size = static_cast<std::uint64_t>(end);
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
    file_ = std::fopen(path.c_str(), "rb");
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
    if (file_ == nullptr || offset > size_ || !SeekTo(file_, offset)) {
        return 0;
    }
    return std::fread(destination, 1, count, file_);
}

} // namespace pictavo
