// Every kind of file the view shows stands upright on the plane: what the file stores as its
// top rows is drawn on top.
#include "gl_view_fixture.h"
#include "image_files.h"
#include "texture/encode.h"
#include "texture/texture_writer.h"

namespace pictavo::testing {
namespace {

struct Kind {
    const char* name;
    bool dds;
    FormatCode format;
};

void PrintTo(const Kind& kind, std::ostream* out) {
    *out << kind.name;
}

// Red above the middle, blue below it, opaque.
RgbaImage RedAboveBlue() {
    constexpr std::uint32_t kSide = 16;
    RgbaImage image{kSide, kSide, {}};
    for (std::uint32_t y = 0; y < kSide; ++y) {
        for (std::uint32_t x = 0; x < kSide; ++x) {
            const bool top = y < kSide / 2;
            image.pixels.insert(image.pixels.end(),
                                {std::uint8_t(top ? 255 : 0), 0, std::uint8_t(top ? 0 : 255), 255});
        }
    }
    return image;
}

class OrientationTest : public ViewTest, public ::testing::WithParamInterface<Kind> {};

TEST_P(OrientationTest, TheFilesTopRowsAreDrawnOnTop) {
    const Kind& kind = GetParam();
    Texture texture;
    EncodeSettings settings;
    settings.format = kind.format;
    settings.mipmaps = false;
    ASSERT_TRUE(EncodeTexture(RedAboveBlue(), settings, texture));
    TempDir dir;
    const std::string path = dir.File(kind.dds ? "picture.dds" : "picture.iwi");
    ASSERT_EQ(kind.dds ? WriteDds(texture, path) : WriteIwi(texture, 6, path), TextureError::kNone);

    VarnelLoader& loader = Control().Loader();
    Control().makeCurrent();
    const Bytes bytes = ReadBytes(path);
    ASSERT_EQ(loader.LoadBytes(kind.dds ? "picture.dds" : "picture.iwi", path, bytes), IWI_OK);
    ASSERT_EQ(loader.LoadToOpenGL(), IWI_OK);
    Control().ApplyAspectScale();

    const Frame frame = DrawFrame();
    const auto [x, upper] = PlanePixel(0, 0.5f);
    const auto lower = PlanePixel(0, -0.5f).second;
    const Rgb top = frame.At(x, upper);
    const Rgb bottom = frame.At(x, lower);
    EXPECT_GT(top.r, 2 * top.b) << "top " << top.r << "," << top.g << "," << top.b;
    EXPECT_GT(bottom.b, 2 * bottom.r)
        << "bottom " << bottom.r << "," << bottom.g << "," << bottom.b;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, OrientationTest,
    ::testing::Values(Kind{"IWI DXT1", false, kFormatDxt1}, Kind{"IWI DXT5", false, kFormatDxt5},
                      Kind{"IWI BGRA", false, kFormatBgra8}, Kind{"IWI BGR", false, kFormatBgr8},
                      Kind{"DDS DXT1", true, kFormatDxt1}, Kind{"DDS BGRA", true, kFormatBgra8}));

} // namespace
} // namespace pictavo::testing
