#include "texture/image_encode.h"

#include "texture/encode.h"
#include "texture/output_file.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <zlib.h>

namespace pictavo {

namespace {

// Measured against ImageMagick's PNGs of the same pixels (it deflates at 7): at level 3 ours
// are 4% larger on the corpus's textures and 9% on the benchmark's noisy ones, and the
// benchmark's export takes half the time of level 5, the first level no larger on the corpus.
constexpr int kDeflateLevel = 3;

// stb's PNG writer hands its filtered rows here; the buffer returned is freed by stb.
unsigned char* Deflate(unsigned char* data, int length, int* outLength, int /*stbLevel*/) {
    uLongf size = compressBound(static_cast<uLong>(length));
    auto* buffer = static_cast<unsigned char*>(std::malloc(size));
    if (buffer == nullptr ||
        compress2(buffer, &size, data, static_cast<uLong>(length), kDeflateLevel) != Z_OK ||
        size > INT_MAX / 2) {
        std::free(buffer);
        return nullptr;
    }
    *outLength = static_cast<int>(size);
    return buffer;
}

} // namespace

} // namespace pictavo

#define STBIW_ZLIB_COMPRESS pictavo::Deflate
#define STBIW_CRC32(buffer, length)                                                                \
    static_cast<unsigned int>(crc32(0, buffer, static_cast<uInt>(length)))
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

namespace pictavo {

namespace {

// stb adds the bytes of a file piece by piece.
void Append(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

// stb counts the bytes of an image, and of its filtered PNG rows, in an int.
bool FitsStb(const RgbaImage& image) {
    return image.width > 0 && image.height > 0 &&
           image.pixels.size() == static_cast<std::uint64_t>(image.width) * image.height * 4 &&
           (static_cast<std::uint64_t>(image.width) * 4 + 1) * image.height <= INT_MAX / 2;
}

// The pixels without their alpha.
std::vector<std::uint8_t> Rgb(const RgbaImage& image) {
    const std::size_t count = image.pixels.size() / 4;
    std::vector<std::uint8_t> rgb(count * 3);
    for (std::size_t i = 0; i < count; ++i) {
        std::memcpy(rgb.data() + 3 * i, image.pixels.data() + 4 * i, 3);
    }
    return rgb;
}

// TGA: an 18-byte header, then the pixels uncompressed, as B, G, R (and A) bytes.
constexpr std::size_t kTgaHeaderBytes = 18;

std::array<std::uint8_t, kTgaHeaderBytes> TgaHeader(std::uint32_t width, std::uint32_t height,
                                                    bool opaque) {
    constexpr std::uint8_t kTrueColour = 2;
    constexpr std::uint8_t kTopLeft = 0x20; // the top row comes first
    std::array<std::uint8_t, kTgaHeaderBytes> header{};
    header[2] = kTrueColour;
    header[12] = static_cast<std::uint8_t>(width);
    header[13] = static_cast<std::uint8_t>(width >> 8);
    header[14] = static_cast<std::uint8_t>(height);
    header[15] = static_cast<std::uint8_t>(height >> 8);
    header[16] = opaque ? 24 : 32;                                       // bits per pixel
    header[17] = static_cast<std::uint8_t>(kTopLeft | (opaque ? 0 : 8)); // and alpha bits
    return header;
}

std::size_t TgaPixelBytes(std::size_t pixels, bool opaque) {
    return pixels * (opaque ? 3 : 4);
}

// An RGBA pixel read as a little-endian word, as TGA's B, G, R bytes in the low three.
// (The word's bytes reversed, moved down one: compilers make that one byte swap and a shift.)
std::uint32_t Bgr(std::uint32_t rgba) {
    const std::uint32_t reversed =
        (rgba << 24) | ((rgba & 0xFF00) << 8) | ((rgba >> 8) & 0xFF00) | (rgba >> 24);
    return reversed >> 8;
}

// `count` RGBA pixels as TGA stores them: B, G, R, and A unless the picture is opaque.
template <bool opaque>
void TgaPixelsOf(const std::uint8_t* rgba, std::size_t count, std::uint8_t* out) {
    std::size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // Four pixels at a time as words: 16 bytes in, 12 or 16 out.
        for (; i + 4 <= count; i += 4, rgba += 16) {
            std::uint32_t p[4];
            std::memcpy(p, rgba, sizeof p);
            for (std::uint32_t& pixel : p) {
                pixel = Bgr(pixel) | (opaque ? 0 : pixel & 0xFF000000u);
            }
            if constexpr (opaque) {
                const std::uint32_t packed[3] = {p[0] | (p[1] << 24), (p[1] >> 8) | (p[2] << 16),
                                                 (p[2] >> 16) | (p[3] << 8)};
                std::memcpy(out, packed, sizeof packed);
                out += sizeof packed;
            } else {
                std::memcpy(out, p, sizeof p);
                out += sizeof p;
            }
        }
    }
    for (; i < count; ++i, rgba += 4) {
        *out++ = rgba[2];
        *out++ = rgba[1];
        *out++ = rgba[0];
        if (!opaque) {
            *out++ = rgba[3];
        }
    }
}

void TgaPixels(const std::uint8_t* rgba, std::size_t count, bool opaque, std::uint8_t* out) {
    opaque ? TgaPixelsOf<true>(rgba, count, out) : TgaPixelsOf<false>(rgba, count, out);
}

} // namespace

bool EncodePng(const RgbaImage& image, std::vector<std::uint8_t>& out) {
    if (!FitsStb(image)) {
        return false;
    }
    out.clear();
    const int width = static_cast<int>(image.width);
    const int height = static_cast<int>(image.height);
    if (IsOpaque(image)) {
        const std::vector<std::uint8_t> rgb = Rgb(image);
        return stbi_write_png_to_func(Append, &out, width, height, 3, rgb.data(), width * 3) != 0;
    }
    return stbi_write_png_to_func(Append, &out, width, height, 4, image.pixels.data(), width * 4) !=
           0;
}

bool FitsTga(std::uint32_t width, std::uint32_t height) {
    constexpr std::uint32_t kMaxSide = 0xFFFF; // the header holds 16-bit sides
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide;
}

bool EncodeTga(const RgbaImage& image, std::vector<std::uint8_t>& out) {
    if (!FitsStb(image) || !FitsTga(image.width, image.height)) {
        return false;
    }
    const bool opaque = IsOpaque(image);
    const std::array<std::uint8_t, kTgaHeaderBytes> header =
        TgaHeader(image.width, image.height, opaque);
    out.assign(header.begin(), header.end());
    out.resize(header.size() + TgaPixelBytes(image.pixels.size() / 4, opaque));
    TgaPixels(image.pixels.data(), image.pixels.size() / 4, opaque, out.data() + header.size());
    return true;
}

TextureError WriteTga(std::uint32_t width, std::uint32_t height, bool opaque, const TgaRows& rows,
                      const std::string& path, IfExists ifExists) {
    if (!FitsTga(width, height)) {
        return TextureError::kBadSize;
    }
    // Bands of a few block rows: a band and its TGA pixels stay in the caches.
    constexpr std::uint32_t kBandRows = 16;
    const std::size_t bandPixels = std::size_t{width} * kBandRows;
    const auto rgba = std::make_unique_for_overwrite<std::uint8_t[]>(bandPixels * 4);
    const auto tga =
        std::make_unique_for_overwrite<std::uint8_t[]>(TgaPixelBytes(bandPixels, opaque));
    OutputFile file;
    const TextureError opened = file.Open(path);
    if (opened != TextureError::kNone) {
        return opened;
    }
    const std::array<std::uint8_t, kTgaHeaderBytes> header = TgaHeader(width, height, opaque);
    file.Write(header.data(), header.size());
    for (std::uint32_t first = 0; first < height; first += kBandRows) {
        const std::uint32_t count = std::min(kBandRows, height - first);
        const std::uint8_t* band = rows(first, count, rgba.get());
        if (band == nullptr) {
            return TextureError::kTruncated;
        }
        const std::size_t pixels = std::size_t{width} * count;
        TgaPixels(band, pixels, opaque, tga.get());
        file.Write(tga.get(), TgaPixelBytes(pixels, opaque));
    }
    return file.Commit(ifExists);
}

} // namespace pictavo
