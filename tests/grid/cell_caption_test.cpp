#include "grid/cell_caption.h"
#include "grid/grid_thumbnail_maker.h"
#include "grid/thumbnail_file.h"
#include "image_files.h"
#include "texture/encode.h"
#include "texture/texture_reader.h"
#include "texture/texture_writer.h"

#include <gtest/gtest.h>

namespace pictavo::testing {
namespace {

// A 16 x 16 RGBA8 texture whose alpha is `alpha` everywhere but `peak` at one texel.
Bytes AlphaIwi(std::uint8_t alpha, std::uint8_t peak) {
    RgbaImage image;
    image.width = 16;
    image.height = 16;
    for (std::uint32_t i = 0; i < 16 * 16; ++i)
        image.pixels.insert(image.pixels.end(), {200, 100, 50, i == 40 ? peak : alpha});
    EncodeSettings settings;
    settings.format = kFormatBgra8;
    Texture texture;
    EXPECT_TRUE(EncodeTexture(image, settings, texture));
    const TempDir dir;
    EXPECT_EQ(WriteIwi(texture, 6, dir.File("a.iwi")), TextureError::kNone);
    return ReadBytes(dir.path() / "a.iwi");
}

// The caption of the cell of a file, from its thumbnail as the grid makes it, and again as
// its disk cache gives that thumbnail back.
std::string CaptionOf(const Bytes& file) {
    const TempDir dir;
    WriteBytes(dir.path() / "t.iwi", file);
    ArchiveCache archives(1);
    GridThumbnail made;
    EXPECT_EQ(Why(MakeGridThumbnail({"t.iwi", dir.File("t.iwi"), "", ""}, 64, archives, made)), "");
    std::vector<std::uint8_t> cached;
    GridThumbnail fromDisk;
    EXPECT_TRUE(EncodeThumbnailFile("key", made, cached));
    EXPECT_TRUE(DecodeThumbnailFile(cached, "key", fromDisk));
    EXPECT_EQ(CellCaption(fromDisk), CellCaption(made));
    return CellCaption(made);
}

// A cell whose thumbnail lets the checkerboard through nearly everywhere says so, as does the
// cell of a file that is wrong in a way its picture does not tell.
TEST(CellCaption, NearlyTransparentThumbnailsAndWrongFilesSaySo) {
    const std::string clear = "16 x 16 RGBA8, nearly transparent (alpha \u2248 0)";
    struct Case {
        std::uint8_t alpha;
        std::uint8_t peak;
        std::string caption;
    };
    for (const Case& c : {Case{0, 0, clear}, Case{5, 8, clear}, Case{0, 255, "16 x 16 RGBA8"},
                          Case{40, 40, "16 x 16 RGBA8"}, Case{255, 255, "16 x 16 RGBA8"}}) {
        EXPECT_EQ(CaptionOf(AlphaIwi(c.alpha, c.peak)), c.caption)
            << int(c.alpha) << " " << int(c.peak);
    }

    const Bytes cut = MakeIwi({27, 2, 8, 4, 1, 2});
    Texture texture;
    ASSERT_EQ(ReadTexture(cut, texture), TextureError::kNone);
    EXPECT_EQ(CaptionOf(cut), "8 x 4 RGB8. " + texture.info.WarningText());
}

} // namespace
} // namespace pictavo::testing
