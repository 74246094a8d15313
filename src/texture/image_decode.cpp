#include "texture/image_decode.h"

#include "picture_decoders.h"
#include "picture_header.h"

#include <climits>
#include <string>

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

Status DecodeWithStb(std::span<const std::uint8_t> bytes, RgbaImage& out) {
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width,
                                            &height, &channels, 4);
    if (pixels == nullptr) {
        return Failure(TextureError::kPictureDamaged,
                       std::string("the picture cannot be read (") + stbi_failure_reason() + ")");
    }
    out.width = static_cast<std::uint32_t>(width);
    out.height = static_cast<std::uint32_t>(height);
    out.pixels.assign(pixels, pixels + static_cast<std::size_t>(width) * height * 4);
    stbi_image_free(pixels);
    return {};
}

} // namespace

bool IsPicture(std::span<const std::uint8_t> bytes) {
    return PictureKindOf(bytes) != PictureKind::kNone;
}

Status DecodePicture(std::span<const std::uint8_t> bytes, RgbaImage& out) {
    // stb and libjpeg count bytes in an int and a long.
    if (bytes.size() > INT_MAX) {
        return Failure(TextureError::kTooLarge, "the file is too large");
    }
    switch (PictureKindOf(bytes)) {
    case PictureKind::kPng:
        return DecodePng(bytes, out);
    case PictureKind::kJpeg:
        return DecodeJpeg(bytes, out);
    case PictureKind::kPsd:
        return DecodePsd(bytes, out);
    case PictureKind::kTga:
        if (Status header = CheckTgaHeader(bytes); !header) {
            return header;
        }
        return DecodeWithStb(bytes, out);
    case PictureKind::kBmp:
        if (Status header = CheckBmpHeader(bytes); !header) {
            return header;
        }
        return DecodeWithStb(bytes, out);
    case PictureKind::kNone:
        break;
    }
    return Failure(TextureError::kNotAPicture, "not a PNG, TGA, JPEG, BMP or PSD file");
}

} // namespace pictavo
