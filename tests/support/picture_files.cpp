#include "picture_files.h"

#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace pictavo::testing {

namespace {

void Append(void* context, void* data, int size) {
    auto* out = static_cast<Bytes*>(context);
    out->insert(out->end(), static_cast<std::uint8_t*>(data),
                static_cast<std::uint8_t*>(data) + size);
}

// The first `channels` of each pixel; grey is the red channel.
Bytes Channels(const RgbaImage& image, int channels) {
    Bytes out;
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        for (int c = 0; c < channels; ++c) {
            out.push_back(image.pixels[i + (channels == 2 && c == 1 ? 3 : c)]);
        }
    }
    return out;
}

void PutU16BE(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

void PutU32BE(Bytes& out, std::uint32_t value) {
    PutU16BE(out, value >> 16);
    PutU16BE(out, value & 0xFFFF);
}

// PackBits as Photoshop writes it, row by row: runs of three or more equal bytes repeated,
// the rest literal.
Bytes PackRow(const std::uint8_t* row, std::size_t size) {
    Bytes out;
    for (std::size_t at = 0; at < size;) {
        std::size_t run = 1;
        while (at + run < size && run < 128 && row[at + run] == row[at]) {
            ++run;
        }
        if (run >= 3) {
            out.push_back(static_cast<std::uint8_t>(257 - run));
            out.push_back(row[at]);
            at += run;
            continue;
        }
        std::size_t literal = 0;
        while (at + literal < size && literal < 128 &&
               !(at + literal + 2 < size && row[at + literal] == row[at + literal + 1] &&
                 row[at + literal] == row[at + literal + 2])) {
            ++literal;
        }
        out.push_back(static_cast<std::uint8_t>(literal - 1));
        out.insert(out.end(), row + at, row + at + literal);
        at += literal;
    }
    return out;
}

} // namespace

Bytes MakePng(const RgbaImage& image, int channels) {
    Bytes out;
    const Bytes pixels = Channels(image, channels);
    stbi_write_png_to_func(Append, &out, static_cast<int>(image.width),
                           static_cast<int>(image.height), channels, pixels.data(),
                           static_cast<int>(image.width) * channels);
    return out;
}

Bytes MakeJpeg(const RgbaImage& image, int quality) {
    Bytes out;
    const Bytes pixels = Channels(image, 3);
    stbi_write_jpg_to_func(Append, &out, static_cast<int>(image.width),
                           static_cast<int>(image.height), 3, pixels.data(), quality);
    return out;
}

Bytes MakeTga(const RgbaImage& image, int channels, bool runLength) {
    Bytes out;
    const Bytes pixels = Channels(image, channels);
    stbi_write_tga_with_rle = runLength ? 1 : 0;
    stbi_write_tga_to_func(Append, &out, static_cast<int>(image.width),
                           static_cast<int>(image.height), channels, pixels.data());
    return out;
}

Bytes MakeBmp(const RgbaImage& image) {
    Bytes out;
    const Bytes pixels = Channels(image, 3);
    stbi_write_bmp_to_func(Append, &out, static_cast<int>(image.width),
                           static_cast<int>(image.height), 3, pixels.data());
    return out;
}

Bytes MakePsd(const RgbaImage& image, int channels, bool packBits) {
    Bytes out{'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0};
    PutU16BE(out, static_cast<unsigned>(channels));
    PutU32BE(out, image.height);
    PutU32BE(out, image.width);
    PutU16BE(out, 8);
    PutU16BE(out, 3); // RGB
    for (int section = 0; section < 3; ++section) {
        PutU32BE(out, 0);
    }
    PutU16BE(out, packBits ? 1 : 0);
    std::vector<Bytes> planes(static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        for (int c = 0; c < channels; ++c) {
            planes[static_cast<std::size_t>(c)].push_back(image.pixels[i + c]);
        }
    }
    if (!packBits) {
        for (const Bytes& plane : planes) {
            out.insert(out.end(), plane.begin(), plane.end());
        }
        return out;
    }
    std::vector<Bytes> rows;
    for (const Bytes& plane : planes) {
        for (std::uint32_t y = 0; y < image.height; ++y) {
            rows.push_back(PackRow(&plane[std::size_t{y} * image.width], image.width));
            PutU16BE(out, static_cast<unsigned>(rows.back().size()));
        }
    }
    for (const Bytes& row : rows) {
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

Bytes PngChunk(const std::string& type, const Bytes& data) {
    Bytes out;
    PutU32BE(out, static_cast<std::uint32_t>(data.size()));
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    std::uint32_t crc = 0xFFFFFFFF;
    for (std::size_t i = 4; i < out.size(); ++i) {
        crc ^= out[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
        }
    }
    PutU32BE(out, ~crc);
    return out;
}

} // namespace pictavo::testing
