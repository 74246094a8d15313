// Photoshop files: the merged picture stored after the layers, RGB, 8 or 16 bits a channel,
// raw or PackBits, with alpha in the fourth channel when there is one.
#include "byte_order.h"
#include "picture_budget.h"
#include "picture_decoders.h"

#include <algorithm>
#include <vector>

namespace pictavo {

namespace {

constexpr std::size_t kHeaderSize = 26;
constexpr unsigned kRgbMode = 3;
constexpr unsigned kMaxChannels = 56;

// Reads forward through the bytes; every read is checked against the end.
struct Cursor {
    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;

    std::size_t Left() const { return bytes.size() - at; }
    bool Skip(std::uint64_t count) {
        if (count > Left()) {
            return false;
        }
        at += count;
        return true;
    }
};

// Unpacks one channel's PackBits runs into `plane`; false when they are damaged or run out.
bool UnpackBits(Cursor& cursor, std::vector<std::uint8_t>& plane) {
    for (std::size_t done = 0; done < plane.size();) {
        if (cursor.Left() == 0) {
            return false;
        }
        const unsigned code = cursor.bytes[cursor.at++];
        if (code == 128) {
            continue;
        }
        const std::size_t count = code < 128 ? code + 1 : 257 - code;
        const std::size_t source = code < 128 ? count : 1;
        if (count > plane.size() - done || source > cursor.Left()) {
            return false;
        }
        const std::uint8_t* from = &cursor.bytes[cursor.at];
        if (code < 128) {
            std::copy(from, from + count, &plane[done]);
        } else {
            std::fill_n(&plane[done], count, *from);
        }
        cursor.at += source;
        done += count;
    }
    return true;
}

// 16-bit samples are big-endian; they are rounded to 8 bits.
std::uint8_t SampleAt(std::span<const std::uint8_t> samples, std::size_t i, std::size_t size) {
    if (size == 1) {
        return samples[i];
    }
    return static_cast<std::uint8_t>((ReadU16BE(&samples[i * 2]) * 255u + 32767) / 65535);
}

// Photoshop blends the merged picture's colours with white where alpha is partial: take the
// white back out, kept within range whatever the file says.
void RemoveWhiteMatte(std::vector<std::uint8_t>& pixels) {
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        const int alpha = pixels[i + 3];
        if (alpha == 0 || alpha == 255) {
            continue;
        }
        for (std::size_t c = i; c < i + 3; ++c) {
            const int value = 255 - ((255 - pixels[c]) * 255 + alpha / 2) / alpha;
            pixels[c] = static_cast<std::uint8_t>(std::max(value, 0));
        }
    }
}

} // namespace

Status DecodePsd(std::span<const std::uint8_t> bytes, RgbaImage& out) {
    if (Status header = BytesCanHold(kHeaderSize + 2, bytes.size()); !header) {
        return header;
    }
    const unsigned channels = ReadU16BE(&bytes[12]);
    const std::uint32_t height = ReadU32BE(&bytes[14]);
    const std::uint32_t width = ReadU32BE(&bytes[18]);
    const unsigned depth = ReadU16BE(&bytes[22]);
    if (ReadU16BE(&bytes[4]) != 1 || ReadU16BE(&bytes[24]) != kRgbMode ||
        (depth != 8 && depth != 16) || channels == 0 || channels > kMaxChannels) {
        return Failure(TextureError::kPictureKind,
                       "only Photoshop files of RGB in 8 or 16 bits a channel are read");
    }
    if (Status budget = WithinPictureBudget(width, height); !budget) {
        return budget;
    }
    const auto cutShort = [] {
        return Failure(TextureError::kTruncated,
                       "the Photoshop file ends before its merged picture");
    };
    // Colour mode data, image resources, layers and masks: each a length and its bytes.
    Cursor cursor{bytes, kHeaderSize};
    for (int section = 0; section < 3; ++section) {
        if (cursor.Left() < 4 || !cursor.Skip(4 + std::uint64_t{ReadU32BE(&bytes[cursor.at])})) {
            return cutShort();
        }
    }
    if (cursor.Left() < 2) {
        return cutShort();
    }
    const unsigned compression = ReadU16BE(&bytes[cursor.at]);
    cursor.at += 2;
    if (compression > 1) {
        return Failure(TextureError::kPictureKind,
                       "only raw and PackBits Photoshop files are read");
    }
    const std::size_t sampleBytes = depth / 8;
    const std::size_t planeBytes = std::size_t{width} * height * sampleBytes;
    const unsigned planes = std::min(channels, 4u);
    // A PackBits run of two bytes makes at most 128; first comes a row-length table.
    const std::uint64_t needed = compression == 0 ? planes * std::uint64_t{planeBytes}
                                                  : std::uint64_t{channels} * height * 2 +
                                                        planes * ((planeBytes + 127) / 128 * 2);
    if (Status held = BytesCanHold(needed, cursor.Left()); !held) {
        return held;
    }
    if (compression == 1) {
        cursor.at += std::size_t{channels} * height * 2;
    }
    out.width = width;
    out.height = height;
    out.pixels.assign(std::size_t{width} * height * 4, 0xFF);
    std::vector<std::uint8_t> plane(compression == 1 ? planeBytes : 0);
    // Colours missing from the file are 0; alpha, when missing, stays 255.
    for (unsigned c = 0; c < std::max(planes, 3u); ++c) {
        std::span<const std::uint8_t> samples;
        if (c < planes && compression == 0) {
            samples = bytes.subspan(cursor.at, planeBytes);
            cursor.at += planeBytes;
        } else if (c < planes) {
            if (!UnpackBits(cursor, plane)) {
                return Failure(TextureError::kPictureDamaged,
                               "the Photoshop file's PackBits data is damaged");
            }
            samples = plane;
        }
        for (std::size_t i = 0; i < out.pixels.size() / 4; ++i) {
            out.pixels[i * 4 + c] = samples.empty() ? 0 : SampleAt(samples, i, sampleBytes);
        }
    }
    if (planes == 4) {
        RemoveWhiteMatte(out.pixels);
    }
    return {};
}

} // namespace pictavo
