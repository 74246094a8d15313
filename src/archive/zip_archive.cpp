#include "archive/zip_archive.h"

#include "archive/archive_file_source.h"
#include "archive/entry_name.h"
#include "archive/zip_failure.h"

#include <algorithm>
#include <utility>
#include <zip.h>

namespace pictavo {
namespace {

// Deflate cannot expand one byte into more than this many: an entry that claims more is lying.
constexpr std::uint64_t kMaxDeflateRatio = 1032;

// Why an entry's data could not be had, as libzip says.
Failure ReadFailure(zip_error_t* error) {
    switch (zip_error_code_zip(error)) {
    case ZIP_ER_CRC:
        return Failure(TextureError::kArchiveDamaged, "CRC mismatch, the data is damaged");
    case ZIP_ER_COMPRESSED_DATA:
    case ZIP_ER_ZLIB:
        return Failure(TextureError::kArchiveDamaged, "the compressed data is damaged");
    case ZIP_ER_INCONS:
        return Failure(TextureError::kArchiveDamaged,
                       "the archive's sizes for it disagree with its data");
    default:
        return Failure(TextureError::kOpen, zip_error_strerror(error));
    }
}

// Unix file types in the high half of the external attributes, whatever system reads them.
constexpr zip_uint32_t kUnixTypeMask = 0170000;
constexpr zip_uint32_t kUnixRegularFile = 0100000;
constexpr zip_uint32_t kUnixFolder = 0040000;

// A link or device rather than a file, as Unix zip tools record them.
bool IsSpecialFile(zip_t* archive, zip_uint64_t index) {
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0 ||
        system != ZIP_OPSYS_UNIX) {
        return false;
    }
    const zip_uint32_t type = (attributes >> 16) & kUnixTypeMask;
    return type != 0 && type != kUnixRegularFile && type != kUnixFolder;
}

// Whether an entry may be read, told before any of its data is touched.
Status Readable(const zip_stat_t& stat) {
    if (stat.size > kMaxArchiveEntryBytes) {
        return Failure(TextureError::kTooLarge,
                       "declares " + std::to_string(stat.size) + " bytes, more than the " +
                           std::to_string(kMaxArchiveEntryBytes >> 20) + " MB an entry may have");
    }
    if (stat.encryption_method != ZIP_EM_NONE) {
        return Failure(TextureError::kEntryRefused, "encrypted");
    }
    if (!zip_compression_method_supported(stat.comp_method, 0)) {
        return Failure(TextureError::kEntryRefused, "compression method " +
                                                        std::to_string(stat.comp_method) +
                                                        " is not supported");
    }
    if (stat.comp_method == ZIP_CM_STORE && stat.size != stat.comp_size) {
        return Failure(TextureError::kArchiveDamaged,
                       "stored uncompressed in " + std::to_string(stat.comp_size) +
                           " bytes but declares " + std::to_string(stat.size));
    }
    if (stat.comp_method == ZIP_CM_DEFLATE && stat.size > (stat.comp_size + 1) * kMaxDeflateRatio) {
        return Failure(TextureError::kArchiveDamaged,
                       "declares " + std::to_string(stat.size) + " bytes, more than its " +
                           std::to_string(stat.comp_size) + " compressed bytes can hold");
    }
    return {};
}

// The buffer starts at what the compressed size makes likely and grows only as data really
// arrives, so an entry that declares far more than it holds costs no more than it holds.
std::size_t FirstBufferSize(const zip_stat_t& stat) {
    constexpr std::uint64_t kLikelyRatio = 16;
    constexpr std::uint64_t kSlack = 64 << 10;
    return static_cast<std::size_t>(std::min(stat.size, stat.comp_size * kLikelyRatio + kSlack));
}

// Reads exactly the declared size, then makes sure nothing follows it.
Status ReadWhole(zip_file_t* file, const zip_stat_t& stat, std::vector<std::uint8_t>& bytes) {
    const auto declared = static_cast<std::size_t>(stat.size);
    bytes.resize(FirstBufferSize(stat));
    std::size_t got = 0;
    while (got < declared) {
        if (got == bytes.size()) {
            bytes.resize(std::min(declared, bytes.size() * 2));
        }
        const zip_int64_t count = zip_fread(file, bytes.data() + got, bytes.size() - got);
        if (count < 0) {
            return ReadFailure(zip_file_get_error(file));
        }
        if (count == 0) {
            return Failure(TextureError::kArchiveDamaged, "inflates to " + std::to_string(got) +
                                                              " bytes, less than its declared " +
                                                              std::to_string(declared));
        }
        got += static_cast<std::size_t>(count);
    }
    std::uint8_t beyond = 0;
    const zip_int64_t extra = zip_fread(file, &beyond, 1);
    if (extra < 0) {
        return ReadFailure(zip_file_get_error(file));
    }
    if (extra > 0) {
        return Failure(TextureError::kArchiveDamaged,
                       "inflates to more than its declared " + std::to_string(declared) + " bytes");
    }
    return {};
}

} // namespace

ZipArchive::ZipArchive() = default;

ZipArchive::~ZipArchive() {
    Close();
}

ZipArchive::ZipArchive(ZipArchive&& other) noexcept
    : zip_(std::exchange(other.zip_, nullptr)), file_(std::exchange(other.file_, nullptr)),
      path_(std::move(other.path_)), entries_(std::move(other.entries_)),
      refused_(std::move(other.refused_)) {}

ZipArchive& ZipArchive::operator=(ZipArchive&& other) noexcept {
    if (this != &other) {
        Close();
        zip_ = std::exchange(other.zip_, nullptr);
        file_ = std::exchange(other.file_, nullptr);
        path_ = std::move(other.path_);
        entries_ = std::move(other.entries_);
        refused_ = std::move(other.refused_);
    }
    return *this;
}

void ZipArchive::Close() {
    if (zip_ != nullptr) {
        zip_discard(zip_);
        zip_ = nullptr;
    }
    file_ = nullptr;
    path_.clear();
    entries_.clear();
    refused_.clear();
}

Status ZipArchive::Open(const std::string& path) {
    Close();
    zip_error_t zipError;
    zip_error_init(&zipError);
    Status opened = OpenSource(ArchiveFileSource::Create(path, file_, &zipError), zipError, path);
    if (!opened) {
        file_ = nullptr; // freed with the source
        return opened;
    }
    file_->Release();
    return {};
}

Status ZipArchive::OpenBytes(std::span<const std::uint8_t> bytes) {
    Close();
    zip_error_t zipError;
    zip_error_init(&zipError);
    return OpenSource(zip_source_buffer_create(bytes.data(), bytes.size(), 0, &zipError), zipError,
                      {});
}

Status ZipArchive::OpenSource(zip_source_t* source, zip_error_t& zipError,
                              const std::string& path) {
    zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY, &zipError) : nullptr;
    if (archive == nullptr) {
        if (source != nullptr) {
            zip_source_free(source);
        }
        Failure failure = OpenFailure(zip_error_code_zip(&zipError), path);
        zip_error_fini(&zipError);
        return failure;
    }
    zip_error_fini(&zipError);
    Adopt(archive, path);
    return {};
}

void ZipArchive::Adopt(zip_t* archive, const std::string& path) {
    zip_ = archive;
    path_ = path;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    entries_.reserve(static_cast<std::size_t>(std::max<zip_int64_t>(count, 0)));
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t stat;
        if (zip_stat_index(archive, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME)) {
            refused_.push_back("entry " + std::to_string(i) + ": unreadable directory record");
            continue;
        }
        const std::string name = stat.name;
        Status usable = SafeEntryName(name);
        if (usable && IsFolderEntryName(name)) {
            continue;
        }
        if (usable && IsSpecialFile(archive, index)) {
            usable = Failure(TextureError::kEntryRefused, "a link or device, not a file");
        }
        if (!usable) {
            refused_.push_back(Prefixed(name, usable.error()).text);
            continue;
        }
        const std::uint32_t crc = (stat.valid & ZIP_STAT_CRC) ? stat.crc : 0;
        entries_.push_back({name, index, stat.size, stat.comp_size, crc});
    }
}

const std::string& ZipArchive::Path() const {
    return path_;
}

const std::vector<ArchiveEntry>& ZipArchive::Entries() const {
    return entries_;
}

const std::vector<std::string>& ZipArchive::Refused() const {
    return refused_;
}

const ArchiveEntry* ZipArchive::Find(const std::string& name) const {
    if (zip_ == nullptr) {
        return nullptr;
    }
    const zip_int64_t index = zip_name_locate(zip_, name.c_str(), 0);
    if (index < 0) {
        return nullptr;
    }
    const auto found = std::lower_bound(
        entries_.begin(), entries_.end(), static_cast<std::uint64_t>(index),
        [](const ArchiveEntry& entry, std::uint64_t wanted) { return entry.index < wanted; });
    if (found == entries_.end() || found->index != static_cast<std::uint64_t>(index) ||
        found->name != name) {
        return nullptr;
    }
    return &*found;
}

Status ZipArchive::Read(const ArchiveEntry& entry, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    zip_stat_t stat;
    // The archive's own record counts, not the sizes the caller holds.
    if (zip_ == nullptr || zip_stat_index(zip_, entry.index, 0, &stat) != 0 ||
        !(stat.valid & ZIP_STAT_NAME) || entry.name != stat.name) {
        return Failure(TextureError::kNoEntry, entry.name + ": not an entry of this archive");
    }
    Status read = Readable(stat);
    if (read) {
        zip_file_t* file = zip_fopen_index(zip_, entry.index, 0);
        if (file == nullptr) {
            read = ReadFailure(zip_get_error(zip_));
        } else {
            read = ReadWhole(file, stat, bytes);
            zip_fclose(file);
        }
        if (file_ != nullptr) {
            file_->Release();
        }
    }
    if (!read) {
        bytes.clear();
        bytes.shrink_to_fit();
        return Prefixed(entry.name, read.error());
    }
    return {};
}

} // namespace pictavo
