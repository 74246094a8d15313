#include "texture/output_file.h"

#include "texture/utf8_path.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#ifdef __linux__
#include <fcntl.h> // AT_FDCWD
#endif

namespace pictavo {

namespace {

TextureError OpenFailure(int error) {
    return error == EACCES ? TextureError::kPermission : TextureError::kOpen;
}

// Temporary names only need to differ. A generator seeded once a thread costs nothing per
// file; asking the system for randomness every time cost a fifth of converting a tree of small
// files, its processor instruction being trapped in virtual machines.
std::string TemporaryNameBeside(const std::string& target) {
    thread_local std::mt19937 generator{std::random_device{}()};
    const unsigned long tag =
        std::uniform_int_distribution<unsigned long>(0, 0xFFFFFFFF)(generator);
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08lx.tmp", tag);
    return target + suffix;
}

// An existing file we may not write stays as it is, and says so.
bool ExistingFileIsReadOnly(const std::string& path) {
    errno = 0;
    if (std::FILE* existing = OpenFile(path, "r+b")) {
        std::fclose(existing);
        return false;
    }
    return errno == EACCES;
}

// Anything at all under that name, a dangling link included.
bool IsTaken(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(PathOf(path), error));
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(PathOf(path), error);
}

// Tries a few names: another program may hold the same temporary name.
constexpr int kTemporaryNameTries = 8;

} // namespace

OutputFile::~OutputFile() {
    Discard();
}

TextureError OutputFile::Open(const std::string& target) {
    target_ = target;
    for (int tries = 0; file_ == nullptr && tries < kTemporaryNameTries; ++tries) {
        temporary_ = TemporaryNameBeside(target);
        errno = 0;
        file_ = OpenFile(temporary_, "wbx");
        if (file_ == nullptr && errno != EEXIST) {
            break;
        }
    }
    if (file_ == nullptr) {
        const int error = errno;
        temporary_.clear(); // never ours: Discard must not remove it
        return OpenFailure(error);
    }
    if (buffer_ == nullptr) {
        buffer_ = std::make_unique_for_overwrite<char[]>(kBufferBytes);
    }
    std::setvbuf(file_, buffer_.get(), _IOFBF, kBufferBytes);
    return TextureError::kNone;
}

void OutputFile::Write(const void* data, std::size_t count) {
    if (!failed_ && count > 0 && std::fwrite(data, 1, count, file_) != count) {
        failed_ = true;
    }
}

TextureError OutputFile::Commit(IfExists ifExists) {
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (failed_ || !closed) {
        Discard();
        return TextureError::kOpen;
    }
#ifdef __linux__
    // Most targets do not exist yet: put the file in place without replacing anything, and
    // look at an existing target only when there is one.
    errno = 0;
    if (renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) == 0) {
        temporary_.clear();
        return TextureError::kNone;
    }
    if (errno == EEXIST && ifExists == IfExists::kKeep) {
        return Kept();
    }
    // Old kernels and some file systems cannot refuse to replace; they rename below.
    if (errno != EEXIST && errno != EINVAL && errno != ENOSYS) {
        const int failure = errno;
        Discard();
        return OpenFailure(failure);
    }
#endif
    // Where the system cannot refuse for us, a look just before the rename.
    if (ifExists == IfExists::kKeep && IsTaken(target_)) {
        return Kept();
    }
    if (!IsFolder(target_) && ExistingFileIsReadOnly(target_)) {
        Discard();
        return TextureError::kPermission;
    }
    std::error_code error;
    std::filesystem::rename(PathOf(temporary_), PathOf(target_), error);
    if (error) {
        Discard();
        return error == std::errc::permission_denied ? TextureError::kPermission
                                                     : TextureError::kOpen;
    }
    temporary_.clear();
    return TextureError::kNone;
}

TextureError OutputFile::Kept() {
    // A folder in the way is no file the user could choose to replace.
    const bool folder = IsFolder(target_);
    Discard();
    return folder ? TextureError::kOpen : TextureError::kExists;
}

void OutputFile::Discard() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(PathOf(temporary_), ignored);
        temporary_.clear();
    }
}

} // namespace pictavo
