// The texture library from memory: header-only info, the whole read, and decoding of
// every level and face.
#include "texture/decode.h"
#include "texture/texture_reader.h"

#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    pictavo::SpanSource source(bytes);
    pictavo::TextureInfo info;
    pictavo::ReadTextureInfo(source, info);
    pictavo::Texture texture;
    if (pictavo::ReadTexture(bytes, texture) != pictavo::TextureError::kNone) {
        return 0;
    }
    const pictavo::FormatInfo& format = *pictavo::FindFormat(texture.info.format);
    pictavo::RgbaImage image;
    for (std::uint32_t face = 0; face < texture.info.faces; ++face) {
        for (std::uint32_t level = 0; level < texture.info.levels; ++level) {
            pictavo::DecodeLevel(format, texture.info.LevelWidth(level),
                                 texture.info.LevelHeight(level), texture.Image(level, face),
                                 image);
        }
    }
    return 0;
}
