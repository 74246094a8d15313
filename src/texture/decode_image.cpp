#include "texture/decode.h"

namespace pictavo {

bool DecodeImage(const Texture& texture, std::uint32_t level, std::uint32_t face, RgbaImage& out) {
    const TextureInfo& info = texture.info;
    if (face >= info.faces || level >= info.levels ||
        texture.images.size() < std::size_t{info.levels} * info.faces) {
        return false;
    }
    return DecodeImage(info, level, texture.Image(level, face), out);
}

bool DecodeImage(const TextureInfo& info, std::uint32_t level, std::span<const std::uint8_t> stored,
                 RgbaImage& out) {
    const FormatInfo* format = FindFormat(info.format);
    return format != nullptr && level < info.levels &&
           DecodeLevel(*format, info.LevelWidth(level), info.LevelHeight(level), stored, out);
}

} // namespace pictavo
