#include "image_files.h"
#include "material/lighting.h"
#include "material/normal_map.h"
#include "material/partners.h"
#include "pictures.h"
#include "texture/decode.h"
#include "texture/texture_reader.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pictavo::testing {
namespace {

struct PartnerCase {
    const char* about;
    const char* colour;
    std::vector<std::string> names;
    int normal; // index into names, -1 for none
    int specular;
};

void PrintTo(const PartnerCase& c, std::ostream* out) {
    *out << c.about;
}

class PartnerTest : public ::testing::TestWithParam<PartnerCase> {};

TEST_P(PartnerTest, FindsThePartnersTheGamesNameSo) {
    const PartnerCase& c = GetParam();
    const MaterialPartners found = FindPartners(c.colour, c.names);
    EXPECT_EQ(found.normal ? int(*found.normal) : -1, c.normal);
    EXPECT_EQ(found.specular ? int(*found.specular) : -1, c.specular);
}

INSTANTIATE_TEST_SUITE_P(
    Names, PartnerTest,
    ::testing::Values(
        PartnerCase{"bare colour name, merged specular cut short",
                    "mk22_sights.iwi",
                    {"mk22_sights.iwi", "mk22_sights_nml.iwi",
                     "~mk22_sights_spec-rgb&mk22_si~fadfd564.iwi", "mk22_sights_old.iwi"},
                    1,
                    2},
        PartnerCase{"archive marks and plain _spc",
                    "bo2_knife_col.iwi [iw_07.iwd]",
                    {"bo2_knife_spc.iwi [iw_07.iwd]", "bo2_knife_nml.iwi [iw_00.iwd]"},
                    1,
                    0},
        PartnerCase{"_c with _n and _spec", "bear_c.iwi", {"bear_spec.iwi", "bear_n.iwi"}, 1, 0},
        PartnerCase{"Call of Duty 2 merged -gggr normal map",
                    "berlin_books_c.iwi",
                    {"~berlin_books_n-gggr.iwi", "berlin_books_c.iwi"},
                    0,
                    -1},
        PartnerCase{"-gggr after _nml", "sight_col.iwi", {"~sight_nml-gggr.iwi"}, 0, -1},
        PartnerCase{"merged specular whose name ends at the limit",
                    "weapon_colt_anaconda_44_col.iwi",
                    {"~weapon_colt_anaconda_44_spec~9e825182.iwi"},
                    -1,
                    0},
        PartnerCase{"merged specular cut inside the stem",
                    "a_very_long_material_name_here_col.iwi",
                    {"~a_very_long_material_name_he~0123abcd.iwi"},
                    -1,
                    0},
        PartnerCase{"merged with two tildes",
                    "weapon_acog_2_lens_col.iwi",
                    {"~~weapon_acog_2_lens_spc-rgb&~65ae8697.iwi"},
                    -1,
                    0},
        PartnerCase{"capitals and folders", "Wall_COL.IWI", {"textures/wall_NML.iwi"}, 0, -1},
        PartnerCase{"the later of two alike wins",
                    "rock_col.iwi",
                    {"rock_nml.iwi [iw_00.iwd]", "rock_nml.iwi [iw_07.iwd]"},
                    1,
                    -1},
        PartnerCase{"names that only look alike",
                    "wall_col.iwi",
                    {"wallpaper_nml.iwi", "wall_col.iwi", "~-gwall_col~12345678.iwi",
                     "wall_spec_old.iwi", "~wall_s~1234abcd.iwi", "wall_nml_old.iwi",
                     "~mk22_wall_spec~12345678.iwi"},
                    -1,
                    -1},
        PartnerCase{"a shorter stem is not led by a longer one's merged name",
                    "mk22.iwi",
                    {"~mk22_sights_spec-rgb&mk22_si~fadfd564.iwi", "mk22_sights_nml.iwi"},
                    -1,
                    -1}));

// A hemisphere bulging out of a flat surface; grey colour.
constexpr std::uint32_t kSide = 64;
constexpr float kRadius = 24;

RgbaImage Hemisphere(NormalLayout layout) {
    return HemisphereNormalMap(kSide, kRadius, layout == NormalLayout::kAlphaGreen);
}

RgbaImage Grey() {
    return RgbaImage{kSide, kSide, std::vector<std::uint8_t>(kSide * kSide * 4, 160)};
}

// Mean red of the bump's texels on one side of its centre.
enum class Side { kLeft, kRight, kTop, kBottom };

double MeanOn(const RgbaImage& lit, Side side) {
    double sum = 0;
    int count = 0;
    for (std::uint32_t row = 0; row < kSide; ++row) {
        for (std::uint32_t column = 0; column < kSide; ++column) {
            const float x = float(column) + 0.5f - kSide / 2.0f;
            const float y = float(row) + 0.5f - kSide / 2.0f; // down
            const bool inside = x * x + y * y < kRadius * kRadius * 0.8f;
            const bool onSide = side == Side::kLeft    ? x < -2
                                : side == Side::kRight ? x > 2
                                : side == Side::kTop   ? y < -2
                                                       : y > 2;
            if (inside && onSide) {
                sum += lit.pixels[(row * kSide + column) * 4];
                ++count;
            }
        }
    }
    return sum / count;
}

struct BumpCase {
    const char* about;
    NormalLayout layout;
    float azimuth;
    bool flipGreen;
    Side lit;
    Side dark;
};

void PrintTo(const BumpCase& c, std::ostream* out) {
    *out << c.about;
}

class BumpTest : public ::testing::TestWithParam<BumpCase> {};

TEST_P(BumpTest, TheSideFacingTheLightIsLit) {
    const BumpCase& c = GetParam();
    const RgbaImage colour = Grey();
    const RgbaImage normal = Hemisphere(c.layout);
    ASSERT_EQ(DetectNormalLayout(normal), c.layout);
    MaterialLevel level{&colour, &normal, nullptr, c.layout, c.flipGreen};
    const RgbaImage lit = LightLevel(level, LightDirection({c.azimuth, 30}), MaterialShow::kLit);
    const double bright = MeanOn(lit, c.lit);
    const double dark = MeanOn(lit, c.dark);
    EXPECT_GT(bright, dark + 40) << "lit side " << bright << ", far side " << dark;
}

constexpr NormalLayout kGames = NormalLayout::kAlphaGreen;
constexpr NormalLayout kPlain = NormalLayout::kRgb;

INSTANTIATE_TEST_SUITE_P(
    Lights, BumpTest,
    ::testing::Values(BumpCase{"left", kGames, 180, false, Side::kLeft, Side::kRight},
                      BumpCase{"right", kGames, 0, false, Side::kRight, Side::kLeft},
                      BumpCase{"above", kGames, 90, false, Side::kTop, Side::kBottom},
                      BumpCase{"left, flipped", kGames, 180, true, Side::kLeft, Side::kRight},
                      BumpCase{"right, flipped", kGames, 0, true, Side::kRight, Side::kLeft},
                      // Green read the other way turns the bump into a dent.
                      BumpCase{"above, flipped", kGames, 90, true, Side::kBottom, Side::kTop},
                      BumpCase{"plain left", kPlain, 180, false, Side::kLeft, Side::kRight},
                      BumpCase{"plain above", kPlain, 90, false, Side::kTop, Side::kBottom},
                      BumpCase{"plain above, flipped", kPlain, 90, true, Side::kBottom,
                               Side::kTop}));

TEST(LightLevelTest, MapsOfAnotherSizeLightNothing) {
    const RgbaImage colour = Grey();
    const RgbaImage normal = HemisphereNormalMap(kSide / 2, kRadius / 2, true);
    const RgbaImage fits = Hemisphere(NormalLayout::kAlphaGreen);
    const SurfaceVector light = LightDirection({});
    EXPECT_TRUE(LightLevel({&colour, &normal, nullptr}, light, MaterialShow::kLit).pixels.empty());
    EXPECT_TRUE(LightLevel({&colour, &fits, &normal}, light, MaterialShow::kLit).pixels.empty());
    EXPECT_EQ(LightLevel({&colour, &fits, nullptr}, light, MaterialShow::kLit).pixels.size(),
              colour.pixels.size());
}

TEST(ShadeTexelTest, HighlightNarrowsWithGlossAndShowsAlone) {
    const SurfaceVector up{0, 0, 1};
    const SurfaceVector tilted{0.2f, 0, 0.98f};
    const SurfaceVector light = LightDirection({0, 90});
    MaterialTexel dull{{0, 0, 0}, {1, 1, 1}, 0.0f};
    MaterialTexel glossy{{0, 0, 0}, {1, 1, 1}, 1.0f};
    // Off the mirror direction a glossy highlight falls away faster than a dull one.
    EXPECT_GT(ShadeTexel(dull, tilted, light, up, MaterialShow::kSpecular).r,
              ShadeTexel(glossy, tilted, light, up, MaterialShow::kSpecular).r + 0.3f);
    EXPECT_NEAR(ShadeTexel(glossy, up, light, up, MaterialShow::kSpecular).r, 1.0f, 1e-4f);
    // Lit straight on, a red texel is ambient plus diffuse, with the highlight on top.
    const MaterialTexel red{{1, 0, 0}, {0.25f, 0.25f, 0.25f}, 0.5f};
    const Rgb lit = ShadeTexel(red, up, light, up, MaterialShow::kLit);
    EXPECT_NEAR(lit.g, 0.25f, 1e-4f);
    EXPECT_NEAR(lit.r, 1.0f, 1e-4f);
    const Rgb normals = ShadeTexel(red, tilted, light, up, MaterialShow::kNormals);
    EXPECT_NEAR(normals.r, 0.6f, 1e-4f);
    EXPECT_NEAR(normals.b, 0.99f, 1e-4f);
}

// Real maps: a colour map taken for a normal map has most texels off; the games' own normal
// maps nearly none, and hold X in alpha and Y in green.
struct CorpusMap {
    const char* path;
    bool normalMap;
};

void PrintTo(const CorpusMap& map, std::ostream* out) {
    *out << map.path;
}

class NormalCheckTest : public ::testing::TestWithParam<CorpusMap> {};

TEST_P(NormalCheckTest, FlagsColourMapsAndPassesNormalMaps) {
    const std::filesystem::path path = CorpusDir() / GetParam().path;
    if (CorpusDir().empty() || !std::filesystem::exists(path)) {
        GTEST_SKIP() << "corpus file " << GetParam().path << " not present";
    }
    Texture texture;
    ASSERT_EQ(ReadTexture(path.string(), texture), TextureError::kNone);
    RgbaImage image;
    ASSERT_TRUE(DecodeImage(texture, 0, 0, image));
    const NormalLayout layout = DetectNormalLayout(image);
    const double share = CheckNormalMap(image, layout).Share();
    if (GetParam().normalMap) {
        EXPECT_EQ(layout, NormalLayout::kAlphaGreen);
        EXPECT_LT(share, 0.02);
    } else {
        EXPECT_GT(share, 0.5);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, NormalCheckTest,
    ::testing::Values(
        CorpusMap{"cod4_v6/mk22_sights_nml.iwi", true}, CorpusMap{"cod4_v6/tom_axe_n.iwi", true},
        CorpusMap{"iw4x_v8/viewhand_black_kit_nml.iwi", true},
        CorpusMap{"iw4x_v8/bear_n.iwi", true}, CorpusMap{"bo1_v13/c_gen_insidemouth_n.iwi", true},
        CorpusMap{"bo1_v13/wpn_t7_zmb_gersch_device_n.iwi", true},
        CorpusMap{"iwi_kinds_more/iwi_v5_fmt12/_berlin_books_n-gggr.iwi", true},
        // Named as a normal map, it holds a grey picture (R = G = B = A) on
        // near-black: a modder's mistake the check is there for.
        CorpusMap{"iw4x_v8/bo2_knife_nml.iwi", false}, CorpusMap{"cod4_v6/mk22_sights.iwi", false},
        CorpusMap{"cod4_v6/tom_axe_col.iwi", false}, CorpusMap{"iw4x_v8/bo2_knife_col.iwi", false},
        CorpusMap{"iw4x_v8/bear_c.iwi", false},
        CorpusMap{"bo1_v13/wpn_t7_zmb_gersch_device_c.iwi", false}));

} // namespace
} // namespace pictavo::testing
