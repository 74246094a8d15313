// The material mode on a real context: the lit plane read back agrees with the lighting
// formula computed on the processor, texel for texel, and the frame exported is the one shown.
#include "gl_view_fixture.h"
#include "image_files.h"
#include "material/lighting.h"
#include "pictures.h"
#include "texture/encode.h"
#include "texture/texture_writer.h"

#include <cmath>

namespace pictavo::testing {
namespace {

constexpr std::uint32_t kSide = 64;
constexpr float kRadius = 24;

struct LightCase {
    const char* about;
    float azimuth;
    bool flipGreen;
    MaterialShow show;
};

void PrintTo(const LightCase& c, std::ostream* out) {
    *out << c.about;
}

// A warm gradient, so that every texel's colour differs.
RgbaImage Colour() {
    RgbaImage image{kSide, kSide, {}};
    for (std::uint32_t row = 0; row < kSide; ++row) {
        for (std::uint32_t column = 0; column < kSide; ++column) {
            image.pixels.insert(image.pixels.end(),
                                {std::uint8_t(120 + column * 2), std::uint8_t(90 + row), 70, 255});
        }
    }
    return image;
}

std::shared_ptr<Texture> Uncompressed(const RgbaImage& image) {
    auto texture = std::make_shared<Texture>();
    EncodeSettings settings;
    settings.format = kFormatBgra8;
    settings.mipmaps = false;
    EXPECT_TRUE(EncodeTexture(image, settings, *texture));
    return texture;
}

class MaterialFrameTest : public ViewTest, public ::testing::WithParamInterface<LightCase> {};

TEST_P(MaterialFrameTest, TheFrameAgreesWithTheFormula) {
    const LightCase& c = GetParam();
    const RgbaImage colour = Colour();
    const RgbaImage normal = HemisphereNormalMap(kSide, kRadius, /*gamesLayout=*/true);
    TempDir dir;
    ASSERT_EQ(WriteIwi(*Uncompressed(colour), 6, dir.File("bump_col.iwi")), TextureError::kNone);
    theSettings.MW2Path = dir.path().string();
    theSettings.MergeBUMP = false;
    VarnelLoader& loader = Control().Loader();
    loader.SetGame(static_cast<std::uint32_t>(GameId::MW2));
    loader.LoadList();
    Control().makeCurrent();
    loader.LoadWrapper("bump_col.iwi");
    Control().ImageChanged();
    ASSERT_NE(loader.ShownTexture(), nullptr);

    Control().SetMaterialMaps(Uncompressed(normal), nullptr);
    Control().SetViewMode(COpenGLControl::ViewMode::kMaterial);
    MaterialSettings& settings = Control().Material();
    settings.light = {c.azimuth, 40};
    settings.flipGreen = c.flipGreen;
    settings.show = c.show;
    const Frame frame = DrawFrame();
    // What File > Export Image As writes: the same frame, top row first, without the text.
    const RgbaImage exported = Control().ReadFrame();
    ASSERT_EQ(exported.width, std::uint32_t(frame.Width()));
    ASSERT_EQ(exported.height, std::uint32_t(frame.Height()));

    const RgbaImage expected =
        LightLevel({&colour, &normal, nullptr, NormalLayout::kAlphaGreen, c.flipGreen},
                   LightDirection(settings.light), c.show);
    int compared = 0;
    for (std::uint32_t row = 2; row < kSide - 2; row += 3) {
        for (std::uint32_t column = 2; column < kSide - 2; column += 3) {
            // Filtering blends neighbours: stay off the bump's rim, where normals jump.
            const float x = float(column) + 0.5f - kSide / 2.0f;
            const float y = float(row) + 0.5f - kSide / 2.0f;
            if (std::abs(std::sqrt(x * x + y * y) - kRadius) < 3) {
                continue;
            }
            const auto [px, py] = PlanePixel(-1 + 2 * (float(column) + 0.5f) / kSide,
                                             1 - 2 * (float(row) + 0.5f) / kSide);
            const std::uint8_t* want = &expected.pixels[(row * kSide + column) * 4];
            const Rgb got = frame.At(px, py);
            const std::uint8_t* out = &exported.pixels[(std::size_t(py) * exported.width + px) * 4];
            EXPECT_TRUE(Near(got, {out[0], out[1], out[2]}, 1))
                << "exported pixel " << px << ", " << py;
            EXPECT_TRUE(Near(got, {want[0], want[1], want[2]}, 6))
                << "texel " << column << ", " << row << ": got " << got.r << " " << got.g << " "
                << got.b << ", want " << int(want[0]) << " " << int(want[1]) << " " << int(want[2]);
            ++compared;
        }
    }
    EXPECT_GT(compared, 300);
}

INSTANTIATE_TEST_SUITE_P(
    Lights, MaterialFrameTest,
    ::testing::Values(LightCase{"from the left", 180, false, MaterialShow::kLit},
                      LightCase{"from the right", 0, false, MaterialShow::kLit},
                      LightCase{"from above", 90, false, MaterialShow::kLit},
                      LightCase{"from above, green flipped", 90, true, MaterialShow::kLit},
                      LightCase{"normals as colours", 90, true, MaterialShow::kNormals},
                      LightCase{"specular alone", 45, false, MaterialShow::kSpecular}));

} // namespace
} // namespace pictavo::testing
