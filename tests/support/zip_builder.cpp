#include "zip_builder.h"

#include <stdexcept>
#include <zip.h>

namespace pictavo::testing {
namespace {

constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;

void Check(bool ok, zip_t* archive, const char* what) {
    if (!ok) {
        throw std::runtime_error(std::string(what) + ": " + zip_strerror(archive));
    }
}

void PutU16(Bytes& bytes, std::size_t at, std::uint32_t value) {
    bytes.at(at) = static_cast<std::uint8_t>(value);
    bytes.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
}

std::uint32_t GetU16(const Bytes& bytes, std::size_t at) {
    return bytes.at(at) | static_cast<std::uint32_t>(bytes.at(at + 1)) << 8;
}

void PatchRecord(Bytes& zip, std::size_t record, std::size_t fieldsAt, ZipField field,
                 std::uint32_t value) {
    switch (field) {
    case ZipField::kMethod:
        PutU16(zip, record + fieldsAt, value);
        break;
    case ZipField::kCrc:
        PutU32(zip, record + fieldsAt + 6, value);
        break;
    case ZipField::kCompressedSize:
        PutU32(zip, record + fieldsAt + 10, value);
        break;
    case ZipField::kSize:
        PutU32(zip, record + fieldsAt + 14, value);
        break;
    }
}

} // namespace

void WriteZip(const std::filesystem::path& path, const std::vector<ZipItem>& items) {
    int code = 0;
    zip_t* archive = zip_open(path.string().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (archive == nullptr) {
        throw std::runtime_error("cannot create " + path.string());
    }
    for (const ZipItem& item : items) {
        zip_source_t* source =
            item.source.empty()
                ? zip_source_buffer(archive, item.data.data(), item.data.size(), 0)
                : zip_source_file(archive, item.source.string().c_str(), 0, -1); // -1: to its end
        Check(source != nullptr, archive, "source");
        const zip_int64_t index = zip_file_add(archive, item.name.c_str(), source, 0);
        if (index < 0) {
            zip_source_free(source);
        }
        Check(index >= 0, archive, "add");
        const auto at = static_cast<zip_uint64_t>(index);
        Check(zip_set_file_compression(archive, at, item.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
                                       0) == 0,
              archive, "compression");
        if (!item.password.empty()) {
            Check(zip_file_set_encryption(archive, at, ZIP_EM_AES_256, item.password.c_str()) == 0,
                  archive, "encryption");
        }
    }
    Check(zip_close(archive) == 0, archive, "close");
}

Bytes MakeZip(const std::vector<ZipItem>& items) {
    const TempDir dir;
    const std::filesystem::path path = dir.path() / "made.zip";
    WriteZip(path, items);
    return ReadBytes(path);
}

std::map<std::string, RawZipEntry> RawZipEntries(const std::filesystem::path& path) {
    int code = 0;
    zip_t* archive = zip_open(path.string().c_str(), ZIP_RDONLY, &code);
    if (archive == nullptr) {
        throw std::runtime_error("cannot open " + path.string());
    }
    std::map<std::string, RawZipEntry> entries;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t stat;
        Check(zip_stat_index(archive, index, 0, &stat) == 0, archive, "stat");
        RawZipEntry entry{stat.comp_method, stat.crc, stat.size, Bytes(stat.comp_size)};
        zip_file_t* file = zip_fopen_index(archive, index, ZIP_FL_COMPRESSED);
        Check(file != nullptr, archive, "open entry");
        const zip_int64_t got = zip_fread(file, entry.compressed.data(), entry.compressed.size());
        zip_fclose(file);
        Check(got == static_cast<zip_int64_t>(stat.comp_size), archive, "read entry");
        entries.emplace(stat.name, std::move(entry));
    }
    zip_discard(archive);
    return entries;
}

void PatchZipEntry(Bytes& zip, const std::string& name, ZipField field, std::uint32_t value) {
    bool found = false;
    for (std::size_t at = 0; at + 46 <= zip.size(); ++at) {
        const std::uint32_t signature = GetU32(zip, at);
        const bool central = signature == kCentralSignature;
        if (!central && signature != kLocalSignature) {
            continue;
        }
        const std::size_t nameAt = at + (central ? 46 : 30);
        const std::size_t nameLength = GetU16(zip, at + (central ? 28 : 26));
        if (nameLength == name.size() && nameAt + nameLength <= zip.size() &&
            std::equal(name.begin(), name.end(), zip.begin() + static_cast<long>(nameAt))) {
            PatchRecord(zip, at, central ? 10 : 8, field, value);
            found = true;
        }
    }
    if (!found) {
        throw std::runtime_error("no record of " + name);
    }
}

} // namespace pictavo::testing
