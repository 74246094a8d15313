#include "compare/compare_side.h"

#include "texture/image_decode.h"
#include "texture/texture_reader.h"

#include <algorithm>

namespace pictavo {

std::uint32_t CompareSide::Levels() const {
    return texture ? texture->info.levels : (picture.pixels.empty() ? 0 : 1);
}

std::uint32_t CompareSide::LevelWidth(std::uint32_t level) const {
    return texture ? texture->info.LevelWidth(level) : picture.width;
}

std::uint32_t CompareSide::LevelHeight(std::uint32_t level) const {
    return texture ? texture->info.LevelHeight(level) : picture.height;
}

RgbaImage CompareSide::Decode(std::uint32_t level, std::uint32_t face) const {
    if (!texture) {
        return picture;
    }
    const TextureInfo& info = texture->info;
    level = std::min(level, info.levels - 1);
    face = std::min(face, info.faces - 1);
    RgbaImage image;
    if (!DecodeImage(*texture, level, face, image)) {
        return {};
    }
    return image;
}

Result<CompareSide> ReadCompareSide(const ImageLocation& where) {
    std::vector<std::uint8_t> bytes;
    if (Status read = ReadImageBytes(where, bytes); !read) {
        return read.error();
    }
    CompareSide side;
    side.name = where.name;
    if (IsPicture(bytes)) {
        if (Status decoded = DecodePicture(bytes, side.picture); !decoded) {
            return Prefixed(where.name, decoded.error());
        }
        return side;
    }
    auto texture = std::make_shared<Texture>();
    if (const TextureError read = ReadTexture(bytes, *texture); read != TextureError::kNone) {
        return Prefixed(where.name, read);
    }
    side.texture = std::move(texture);
    return side;
}

} // namespace pictavo
