#include "texture/decode.h"

namespace pictavo {

Status DecodeImage(const Texture& texture, std::uint32_t level, std::uint32_t face,
                   RgbaImage& out) {
    const TextureInfo& info = texture.info;
    if (face >= info.faces || level >= info.levels ||
        texture.images.size() < std::size_t{info.levels} * info.faces) {
        return TextureError::kNoLevel;
    }
    return DecodeImage(info, level, texture.Image(level, face), out);
}

Status DecodeImage(const TextureInfo& info, std::uint32_t level,
                   std::span<const std::uint8_t> stored, RgbaImage& out) {
    const FormatInfo* format = FindFormat(info.format);
    if (format == nullptr) {
        return TextureError::kUnknownFormat;
    }
    if (level >= info.levels) {
        return TextureError::kNoLevel;
    }
    const std::uint32_t width = info.LevelWidth(level);
    const std::uint32_t height = info.LevelHeight(level);
    if (!DecodeLevel(*format, width, height, stored, out)) {
        return stored.size() < LevelSize(*format, width, height) ? TextureError::kTruncated
                                                                 : TextureError::kUnknownFormat;
    }
    return {};
}

} // namespace pictavo
