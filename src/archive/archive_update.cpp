#include "archive/archive_update.h"

#include "archive/entry_name.h"
#include "archive/zip_failure.h"
#include "texture/ascii_case.h"
#include "texture/utf8_path.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <zip.h>

namespace pictavo {
namespace {

struct Discard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using OpenZip = std::unique_ptr<zip_t, Discard>;

// zip_close's failure, in words: the rename is where another program holding the archive open
// (on Windows, a game or a viewer) stops it.
Failure WriteFailure(zip_t* archive, const std::string& path) {
    zip_error_t* error = zip_get_error(archive);
    const std::string kept = "; it is left as it was";
    switch (zip_error_code_zip(error)) {
    case ZIP_ER_RENAME:
        return Failure(TextureError::kPermission,
                       "Cannot replace " + path +
                           ": another program (the game, or a viewer) may have it open" + kept);
    case ZIP_ER_TMPOPEN:
        return Failure(TextureError::kPermission,
                       "Cannot write beside " + path + ": " + zip_error_strerror(error) + kept);
    default:
        return Failure(TextureError::kOpen,
                       "Cannot write " + path + ": " + zip_error_strerror(error) + kept);
    }
}

// Puts one file into the open archive, deflated, in place of an entry of its name.
Status Apply(zip_t* archive, const std::string& name, const std::string& file) {
    // libzip reads the file only while writing the archive, and then names no file.
    std::error_code missing;
    if (!std::filesystem::is_regular_file(PathOf(file), missing)) {
        return Failure(TextureError::kOpen, "Cannot read " + file + " for " + name);
    }
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_file_create(file.c_str(), 0, -1, &error); // -1: to its end
    if (source == nullptr) {
        const std::string detail = zip_error_strerror(&error);
        zip_error_fini(&error);
        return Failure(TextureError::kOpen, "Cannot read " + file + ": " + detail);
    }
    zip_error_fini(&error);
    const zip_int64_t existing = zip_name_locate(archive, name.c_str(), ZIP_FL_NOCASE);
    const zip_int64_t index =
        existing >= 0
            ? (zip_file_replace(archive, static_cast<zip_uint64_t>(existing), source, 0) == 0
                   ? existing
                   : -1)
            : zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        return Failure(TextureError::kOpen,
                       name + ": " + zip_error_strerror(zip_get_error(archive)));
    }
    if (zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 0) !=
        0) {
        return Failure(TextureError::kOpen,
                       name + ": " + zip_error_strerror(zip_get_error(archive)));
    }
    return {};
}

} // namespace

Status ArchiveUpdate::Open(const std::string& path) {
    path_ = path;
    pending_.clear();
    return List();
}

Status ArchiveUpdate::List() {
    names_.clear();
    std::error_code error;
    if (!std::filesystem::exists(PathOf(path_), error)) {
        return {};
    }
    int code = 0;
    const OpenZip archive(zip_open(path_.c_str(), ZIP_RDONLY, &code));
    if (!archive) {
        return Prefixed(path_, OpenFailure(code, path_));
    }
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        if (const char* name = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), 0)) {
            names_.push_back(AsciiLower(name));
        }
    }
    std::sort(names_.begin(), names_.end());
    return {};
}

bool ArchiveUpdate::Has(const std::string& name) const {
    const std::string folded = AsciiLower(name);
    return std::binary_search(names_.begin(), names_.end(), folded) ||
           std::any_of(pending_.begin(), pending_.end(),
                       [&folded](const Put& put) { return AsciiLower(put.name) == folded; });
}

Status ArchiveUpdate::PutFile(const std::string& name, const std::string& file) {
    if (const Status safe = SafeEntryName(name); !safe) {
        return Prefixed(name, safe.error());
    }
    if (IsFolderEntryName(name)) {
        return Failure(TextureError::kEntryRefused, name + ": a folder's name, not a file's");
    }
    const std::string folded = AsciiLower(name);
    std::erase_if(pending_, [&folded](const Put& put) { return AsciiLower(put.name) == folded; });
    pending_.push_back({name, file});
    return {};
}

Status ArchiveUpdate::Commit() {
    if (pending_.empty()) {
        return {};
    }
    const std::vector<Put> puts = std::move(pending_);
    pending_.clear();
    int code = 0;
    OpenZip archive(zip_open(path_.c_str(), ZIP_CREATE, &code));
    if (!archive) {
        return Prefixed(path_, OpenFailure(code, path_));
    }
    for (const Put& put : puts) {
        if (const Status applied = Apply(archive.get(), put.name, put.file); !applied) {
            return applied;
        }
    }
    // libzip writes a temporary file beside the archive, copying the compressed data of
    // entries left alone, and renames it into place; on failure it removes it.
    if (zip_close(archive.get()) != 0) {
        return WriteFailure(archive.get(), path_);
    }
    archive.release();
    // The archive now holds what it held and what was put: no need to list it again.
    for (const Put& put : puts) {
        names_.push_back(AsciiLower(put.name));
    }
    std::sort(names_.begin(), names_.end());
    names_.erase(std::unique(names_.begin(), names_.end()), names_.end());
    return {};
}

} // namespace pictavo
