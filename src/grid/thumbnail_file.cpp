#include "grid/thumbnail_file.h"

#include "texture/image_decode.h"
#include "texture/image_encode.h"

#include <array>
#include <cstring>

namespace pictavo {
namespace {

constexpr std::array<std::uint8_t, 4> kMagic{'P', 'T', 'v', 'T'};
// 2: the format as stored (R5G6B5 rather than RGB8), and the file's warning.
constexpr std::uint32_t kVersion = 2;
constexpr std::uint32_t kMaxFormatName = 48;
constexpr std::uint32_t kMaxWarning = 512;

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void PutText(std::vector<std::uint8_t>& out, const std::string& text) {
    PutU32(out, static_cast<std::uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

// Reads forward through the bytes; every read checks the length left first.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool U32(std::uint32_t& value) {
        if (Left() < 4) {
            return false;
        }
        value = 0;
        for (int i = 3; i >= 0; --i) {
            value = (value << 8) | bytes_[at_ + static_cast<std::size_t>(i)];
        }
        at_ += 4;
        return true;
    }
    bool Text(std::string& text, std::uint64_t longest) {
        std::uint32_t size = 0;
        if (!U32(size) || size > longest || size > Left()) {
            return false;
        }
        text.assign(reinterpret_cast<const char*>(bytes_.data() + at_), size);
        at_ += size;
        return true;
    }
    std::span<const std::uint8_t> Rest() const { return bytes_.subspan(at_); }
    std::uint64_t Left() const { return bytes_.size() - at_; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

} // namespace

bool EncodeThumbnailFile(const std::string& key, const GridThumbnail& thumbnail,
                         std::vector<std::uint8_t>& out) {
    std::vector<std::uint8_t> png;
    if (!EncodePng(thumbnail.image, png)) {
        return false;
    }
    out.assign(kMagic.begin(), kMagic.end());
    PutU32(out, kVersion);
    PutText(out, key);
    PutU32(out, thumbnail.width);
    PutU32(out, thumbnail.height);
    PutU32(out, thumbnail.faces);
    PutText(out, thumbnail.format.substr(0, kMaxFormatName));
    PutText(out, thumbnail.warning.substr(0, kMaxWarning));
    // A PNG cut short may still decode: its length tells.
    PutU32(out, static_cast<std::uint32_t>(png.size()));
    out.insert(out.end(), png.begin(), png.end());
    return true;
}

bool DecodeThumbnailFile(std::span<const std::uint8_t> bytes, const std::string& key,
                         GridThumbnail& thumbnail) {
    if (bytes.size() < kMagic.size() ||
        std::memcmp(bytes.data(), kMagic.data(), kMagic.size()) != 0) {
        return false;
    }
    Reader reader(bytes.subspan(kMagic.size()));
    std::uint32_t version = 0;
    std::uint32_t pngSize = 0;
    std::string storedKey;
    GridThumbnail read;
    if (!reader.U32(version) || version != kVersion || !reader.Text(storedKey, key.size()) ||
        storedKey != key || !reader.U32(read.width) || !reader.U32(read.height) ||
        !reader.U32(read.faces) || !reader.Text(read.format, kMaxFormatName) ||
        !reader.Text(read.warning, kMaxWarning) || !reader.U32(pngSize) ||
        pngSize != reader.Left()) {
        return false;
    }
    if (!DecodePicture(reader.Rest(), read.image) || read.image.width == 0 ||
        read.image.height == 0 || read.image.width > kMaxCachedSide ||
        read.image.height > kMaxCachedSide) {
        return false;
    }
    thumbnail = std::move(read);
    return true;
}

} // namespace pictavo
