#include "archive/archive_file_source.h"

#include "texture/utf8_path.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace pictavo {

ArchiveFileSource::ArchiveFileSource(std::string path) : path_(std::move(path)) {
    zip_error_init(&error_);
}

ArchiveFileSource::~ArchiveFileSource() {
    zip_error_fini(&error_);
}

zip_source_t* ArchiveFileSource::Create(const std::string& path, ArchiveFileSource*& self,
                                        zip_error_t* error) {
    self = nullptr;
    std::error_code failure;
    const std::filesystem::path name = PathOf(path);
    const std::uintmax_t size = std::filesystem::file_size(name, failure);
    if (failure) {
        zip_error_set(error,
                      failure == std::errc::no_such_file_or_directory ? ZIP_ER_NOENT : ZIP_ER_OPEN,
                      failure.value());
        return nullptr;
    }
    auto* state = new ArchiveFileSource(path);
    state->size_ = size;
    zip_source_t* source = zip_source_function_create(&Callback, state, error);
    if (source == nullptr) {
        delete state;
        return nullptr;
    }
    self = state;
    return source;
}

void ArchiveFileSource::Release() {
    file_.reset();
}

zip_int64_t ArchiveFileSource::Callback(void* state, void* data, zip_uint64_t length,
                                        zip_source_cmd_t command) {
    auto* self = static_cast<ArchiveFileSource*>(state);
    if (command == ZIP_SOURCE_FREE) {
        delete self;
        return 0;
    }
    return self->Run(data, length, command);
}

zip_int64_t ArchiveFileSource::Run(void* data, zip_uint64_t length, zip_source_cmd_t command) {
    switch (command) {
    case ZIP_SOURCE_OPEN:
        offset_ = 0;
        return 0;
    case ZIP_SOURCE_READ:
        return Read(data, length);
    case ZIP_SOURCE_CLOSE:
        Release();
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* stat = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &error_);
        if (stat == nullptr) {
            return -1;
        }
        zip_stat_init(stat);
        stat->size = size_;
        stat->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_SEEK: {
        const zip_int64_t offset =
            zip_source_seek_compute_offset(offset_, size_, data, length, &error_);
        if (offset < 0) {
            return -1;
        }
        offset_ = static_cast<std::uint64_t>(offset);
        return 0;
    }
    case ZIP_SOURCE_TELL:
        return static_cast<zip_int64_t>(offset_);
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&error_, data, length);
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(
            ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR,
            ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_SUPPORTS, -1);
    default:
        zip_error_set(&error_, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

zip_int64_t ArchiveFileSource::Read(void* data, zip_uint64_t length) {
    if (!file_) {
        file_ = std::make_unique<FileSource>();
        // A file replaced since the archive was opened no longer holds its directory.
        if (file_->Open(path_) != TextureError::kNone) {
            file_.reset();
            zip_error_set(&error_, ZIP_ER_OPEN, ENOENT);
            return -1;
        }
        if (file_->Size() != size_) {
            file_.reset();
            zip_error_set(&error_, ZIP_ER_CHANGED, 0);
            return -1;
        }
    }
    const std::uint64_t left = offset_ < size_ ? size_ - offset_ : 0;
    const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(length, left));
    const std::size_t arrived = file_->ReadAt(offset_, data, wanted);
    if (arrived != wanted) {
        zip_error_set(&error_, ZIP_ER_READ, EIO);
        return -1;
    }
    offset_ += arrived;
    return static_cast<zip_int64_t>(arrived);
}

} // namespace pictavo
