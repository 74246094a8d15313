#include "texture/image_decode.h"

#include "picture_decoders.h"
#include "picture_header.h"

#include <climits>

// stb reads only TGA and BMP, after their headers have been checked.
#define STBI_NO_STDIO
#define STBI_ONLY_TGA
#define STBI_ONLY_BMP
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace pictavo {

namespace {

bool DecodeWithStb(std::span<const std::uint8_t> bytes, RgbaImage& out, std::string& failure) {
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width,
                                            &height, &channels, 4);
    if (pixels == nullptr) {
        failure = std::string("the picture cannot be read (") + stbi_failure_reason() + ")";
        return false;
    }
    out.width = static_cast<std::uint32_t>(width);
    out.height = static_cast<std::uint32_t>(height);
    out.pixels.assign(pixels, pixels + static_cast<std::size_t>(width) * height * 4);
    stbi_image_free(pixels);
    return true;
}

} // namespace

bool IsPicture(std::span<const std::uint8_t> bytes) {
    return PictureKindOf(bytes) != PictureKind::kNone;
}

bool DecodePicture(std::span<const std::uint8_t> bytes, RgbaImage& out, std::string& failure) {
    // stb and libjpeg count bytes in an int and a long.
    if (bytes.size() > INT_MAX) {
        failure = "the file is too large";
        return false;
    }
    switch (PictureKindOf(bytes)) {
    case PictureKind::kPng:
        return DecodePng(bytes, out, failure);
    case PictureKind::kJpeg:
        return DecodeJpeg(bytes, out, failure);
    case PictureKind::kPsd:
        return DecodePsd(bytes, out, failure);
    case PictureKind::kTga:
        return CheckTgaHeader(bytes, failure) && DecodeWithStb(bytes, out, failure);
    case PictureKind::kBmp:
        return CheckBmpHeader(bytes, failure) && DecodeWithStb(bytes, out, failure);
    case PictureKind::kNone:
        break;
    }
    failure = "not a PNG, TGA, JPEG, BMP or PSD file";
    return false;
}

} // namespace pictavo
