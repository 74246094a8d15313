#include "thumbnailer/thumbnail.h"

#include "texture/byte_source.h"
#include "texture/image_encode.h"
#include "texture/texture_reader.h"

#include <algorithm>

#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb_image_resize.h>

namespace pictavo {

std::uint32_t ThumbnailLevel(const TextureInfo& info, std::uint32_t size) {
    std::uint32_t chosen = 0;
    for (std::uint32_t level = 1; level < info.levels; ++level) {
        if (std::max(info.LevelWidth(level), info.LevelHeight(level)) < size) {
            break;
        }
        chosen = level;
    }
    return chosen;
}

RgbaImage FitWithin(const RgbaImage& image, std::uint32_t size) {
    const std::uint32_t longer = std::max(image.width, image.height);
    if (longer <= size) {
        return image;
    }
    // Rounded, and never below one pixel, so a thin strip keeps a row.
    const auto scaled = [&](std::uint32_t side) {
        return std::max<std::uint32_t>(
            1, static_cast<std::uint32_t>((std::uint64_t{side} * size + longer / 2) / longer));
    };
    RgbaImage out;
    out.width = scaled(image.width);
    out.height = scaled(image.height);
    out.pixels.resize(std::size_t{out.width} * out.height * 4);
    // Colours averaged in linear light and weighted by alpha, as a viewer shows them.
    stbir_resize_uint8_srgb(image.pixels.data(), static_cast<int>(image.width),
                            static_cast<int>(image.height), 0, out.pixels.data(),
                            static_cast<int>(out.width), static_cast<int>(out.height), 0, 4, 3, 0);
    return out;
}

Result<RgbaImage> MakeThumbnailImage(ByteSource& source, std::uint32_t size, TextureInfo& info) {
    TextureError error = ReadTextureInfo(source, info);
    if (error != TextureError::kNone) {
        return Failure(error, FailureText(error, info));
    }
    const std::uint32_t level = ThumbnailLevel(info, size);
    const std::uint32_t width = info.LevelWidth(level);
    const std::uint32_t height = info.LevelHeight(level);
    if (std::uint64_t{width} * height > kMaxThumbnailPixels) {
        return Failure(TextureError::kTooLarge, "The texture is too large for a thumbnail.");
    }
    Bytes stored;
    error = ReadImage(source, info, level, 0, stored);
    if (error != TextureError::kNone) {
        return error;
    }
    RgbaImage decoded;
    if (Status status = DecodeImage(info, level, stored, decoded); !status) {
        return status.error();
    }
    return FitWithin(decoded, size);
}

Result<RgbaImage> MakeThumbnailImage(ByteSource& source, std::uint32_t size) {
    TextureInfo info;
    return MakeThumbnailImage(source, size, info);
}

Result<std::vector<std::uint8_t>> MakeThumbnail(const std::string& path, std::uint32_t size) {
    FileSource source;
    if (const TextureError error = source.Open(path); error != TextureError::kNone) {
        return error;
    }
    Result<RgbaImage> image = MakeThumbnailImage(source, size);
    if (!image) {
        return image.error();
    }
    std::vector<std::uint8_t> png;
    if (!EncodePng(image.value(), png)) {
        return Failure(TextureError::kNotWritable, "The thumbnail cannot be encoded as PNG.");
    }
    return png;
}

} // namespace pictavo
