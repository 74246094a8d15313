#include "grid_textures.h"

#include "texture/encode.h"
#include "image_files.h"
#include "texture/texture_writer.h"

#include <gtest/gtest.h>

namespace pictavo::testing {

Colour ColourOf(int number) {
    return {static_cast<std::uint8_t>(number % 251),
            static_cast<std::uint8_t>((number / 251) % 251), 200};
}

namespace {

Texture FlatTexture(Colour colour, std::uint32_t side) {
    RgbaImage image;
    image.width = side;
    image.height = side;
    for (std::uint32_t i = 0; i < side * side; ++i)
        image.pixels.insert(image.pixels.end(), {colour.r, colour.g, colour.b, 255});
    EncodeSettings settings;
    settings.format = kFormatBgra8;
    Texture texture;
    EXPECT_TRUE(EncodeTexture(image, settings, texture));
    return texture;
}

} // namespace

void WriteFlatIwi(const std::filesystem::path& path, Colour colour, std::uint32_t side) {
    ASSERT_EQ(WriteIwi(FlatTexture(colour, side), 6, path.string()), TextureError::kNone) << path;
}

std::vector<std::uint8_t> FlatIwiBytes(Colour colour, std::uint32_t side) {
    const TempDir dir;
    WriteFlatIwi(dir.path() / "flat.iwi", colour, side);
    return ReadBytes(dir.path() / "flat.iwi");
}

GridThumbnailMaker CountingMaker::Maker() const {
    return [calls = calls](const ImageLocation& where, std::uint32_t size, ArchiveCache& archives,
                           GridThumbnail& thumbnail) {
        ++*calls;
        return MakeGridThumbnail(where, size, archives, thumbnail);
    };
}

} // namespace pictavo::testing
