#include "binary_file.h"

#include "iwi_result.h"

#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

namespace pictavo {

namespace {

int OpenFailure(int error) {
    return error == EACCES ? IWI_ERR_PERMISSION : IWI_ERR_OPEN;
}

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

std::string TemporaryNameBeside(const std::string& target) {
    std::random_device random;
    const unsigned long tag = std::uniform_int_distribution<unsigned long>(0, 0xFFFFFFFF)(random);
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08lx.tmp", tag);
    return target + suffix;
}

} // namespace

InputFile::~InputFile() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

int InputFile::Open(const std::string& path) {
    errno = 0;
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) {
        return OpenFailure(errno);
    }
    if (!FileSize(file_, size_)) {
        return IWI_ERR_OPEN;
    }
    return IWI_OK;
}

std::size_t InputFile::ReadAt(std::uint64_t offset, void* destination, std::size_t count) {
    if (offset > size_ || !SeekTo(file_, offset)) {
        return 0;
    }
    return std::fread(destination, 1, count, file_);
}

OutputFile::~OutputFile() {
    Discard();
}

int OutputFile::Open(const std::string& target) {
    target_ = target;
    // An existing file we may not write stays as it is, and says so.
    errno = 0;
    if (std::FILE* existing = std::fopen(target.c_str(), "r+b")) {
        std::fclose(existing);
    } else if (errno == EACCES) {
        return IWI_ERR_PERMISSION;
    }
    temporary_ = TemporaryNameBeside(target);
    errno = 0;
    file_ = std::fopen(temporary_.c_str(), "wbx");
    if (file_ == nullptr) {
        return OpenFailure(errno);
    }
    return IWI_OK;
}

void OutputFile::Write(const void* data, std::size_t count) {
    if (!failed_ && count > 0 && std::fwrite(data, 1, count, file_) != count) {
        failed_ = true;
    }
}

int OutputFile::Commit() {
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (failed_ || !closed) {
        Discard();
        return IWI_ERR_OPEN;
    }
    std::error_code error;
    std::filesystem::rename(temporary_, target_, error);
    if (error) {
        Discard();
        return error == std::errc::permission_denied ? IWI_ERR_PERMISSION : IWI_ERR_OPEN;
    }
    temporary_.clear();
    return IWI_OK;
}

void OutputFile::Discard() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
        temporary_.clear();
    }
}

} // namespace pictavo
