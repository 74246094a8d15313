// The figures of a comparison: PSNR and the largest difference of each channel against
// ImageMagick's `compare` on pairs of real game textures, and the scaling and difference
// pictures.
#include "compare/compare_figures.h"
#include "external_tools.h"
#include "image_files.h"
#include "pictures.h"
#include "texture/texture_reader.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>

namespace pictavo::testing {
namespace {

namespace fs = std::filesystem;

// What a command prints on its standard output and error together.
std::string Output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            text += buffer;
        }
        pclose(pipe);
    }
    return text;
}

RgbaImage Level0(const fs::path& file) {
    Texture texture;
    RgbaImage image;
    if (ReadTexture(file.string(), texture) == TextureError::kNone) {
        DecodeLevel(*FindFormat(texture.info.format), texture.info.width, texture.info.height,
                    texture.Image(0), image);
    }
    return image;
}

constexpr std::size_t kMostPairs = 8;

// Pairs of corpus textures of one size, one pair a size, the first files found of each.
std::vector<std::pair<fs::path, fs::path>> SameSizePairs(const fs::path& corpus) {
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::vector<fs::path>> bySize;
    for (const char* folder : {"cod4_v6", "iw4x_v8", "bo1_v13", "iwi_kinds"}) {
        if (!fs::is_directory(corpus / folder)) {
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(corpus / folder)) {
            TextureInfo info;
            if (entry.path().extension() == ".iwi" &&
                ReadTextureInfo(entry.path().string(), info) == TextureError::kNone &&
                info.faces == 1 && info.width * info.height <= 512 * 512) {
                bySize[{info.width, info.height}].push_back(entry.path());
            }
        }
    }
    std::vector<std::pair<fs::path, fs::path>> pairs;
    for (auto& [size, files] : bySize) {
        std::sort(files.begin(), files.end());
        if (files.size() >= 2 && pairs.size() < kMostPairs) {
            pairs.emplace_back(files[0], files[1]);
        }
    }
    return pairs;
}

TEST(CompareFiguresTest, AgreeWithImageMagickOnRealTextures) {
    const fs::path corpus = CorpusDir();
    if (corpus.empty()) {
        GTEST_SKIP() << "no corpus of real game files beside the project";
    }
    if (!ToolInstalled("compare")) {
        GTEST_SKIP() << "ImageMagick's compare is not installed";
    }
    const auto pairs = SameSizePairs(corpus);
    ASSERT_GE(pairs.size(), 4u);
    TempDir dir;
    int compared = 0;
    for (const auto& [first, second] : pairs) {
        SCOPED_TRACE(first.string() + " against " + second.string());
        const RgbaImage a = Level0(first);
        const RgbaImage b = Level0(second);
        ASSERT_FALSE(a.pixels.empty());
        ASSERT_FALSE(b.pixels.empty());
        CompareFigures figures;
        ASSERT_TRUE(Compare(a, b, figures));
        const fs::path pngA = dir.path() / "a.png";
        const fs::path pngB = dir.path() / "b.png";
        WritePng(pngA, a);
        WritePng(pngB, b);
        const std::string files = Quoted(pngA.string()) + " " + Quoted(pngB.string()) + " null:";
        // ImageMagick weighs colour by alpha unless told to leave alpha out.
        const std::string psnr = Output("compare -alpha off -metric PSNR " + files);
        if (std::isinf(figures.psnr)) {
            EXPECT_EQ(psnr.substr(0, 3), "inf");
        } else {
            EXPECT_NEAR(std::stod(psnr), figures.psnr, 0.01) << psnr;
        }
        // Alpha as grey pictures of its own: an opaque PNG has no alpha channel to compare.
        const fs::path alphaA = dir.path() / "a_alpha.png";
        const fs::path alphaB = dir.path() / "b_alpha.png";
        Output("convert " + Quoted(pngA.string()) + " -alpha extract " + Quoted(alphaA.string()));
        Output("convert " + Quoted(pngB.string()) + " -alpha extract " + Quoted(alphaB.string()));
        for (int channel = 0; channel < 4; ++channel) {
            const std::string name(1, "RGBA"[channel]);
            const std::string peak =
                channel < 3
                    ? Output("compare -alpha off -channel " + name + " -metric PAE " + files)
                    : Output("compare -metric PAE " + Quoted(alphaA.string()) + " " +
                             Quoted(alphaB.string()) + " null:");
            const std::size_t open = peak.find('(');
            ASSERT_NE(open, std::string::npos) << peak;
            EXPECT_EQ(std::lround(std::stod(peak.substr(open + 1)) * 255),
                      figures.largest[std::size_t(channel)])
                << name << ": " << peak;
        }
        ++compared;
    }
    EXPECT_EQ(compared, int(pairs.size()));
}

RgbaImage Solid(std::uint32_t width, std::uint32_t height, std::array<std::uint8_t, 4> rgba) {
    RgbaImage image{width, height, {}};
    for (std::uint32_t i = 0; i < width * height; ++i) {
        image.pixels.insert(image.pixels.end(), rgba.begin(), rgba.end());
    }
    return image;
}

TEST(CompareFiguresTest, KnownDifferences) {
    RgbaImage a = Solid(4, 2, {100, 100, 100, 255});
    RgbaImage b = a;
    CompareFigures figures;
    ASSERT_TRUE(Compare(a, b, figures));
    EXPECT_TRUE(std::isinf(figures.psnr));
    EXPECT_EQ(FiguresText(figures), "identical");
    b.pixels[0] = 110; // red of one pixel, 10 away
    b.pixels[11] = 0;  // alpha of the third
    ASSERT_TRUE(Compare(a, b, figures));
    EXPECT_EQ(figures.largest, (std::array<int, 4>{10, 0, 0, 255}));
    // 100 squared over 24 colour samples.
    EXPECT_NEAR(figures.psnr, 10 * std::log10(255.0 * 255.0 * 24 / 100), 1e-9);
    EXPECT_EQ(FiguresText(figures), "PSNR 41.93 dB, largest difference R 10 G 0 B 0 A 255");
    EXPECT_FALSE(Compare(a, Solid(2, 4, {}), figures)) << "sizes differ";

    const RgbaImage difference = Difference(a, b, 4);
    EXPECT_EQ(std::vector<std::uint8_t>(difference.pixels.begin(), difference.pixels.begin() + 12),
              (std::vector<std::uint8_t>{40, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}));
    EXPECT_EQ(Difference(a, b, 64).pixels[0], 255) << "held at 255";
}

TEST(CompareFiguresTest, ScalingAveragesTheAreaEachPixelCovers) {
    // 4 x 1 to 2 x 1: pairs averaged; 3 x 1 to 2 x 1: thirds shared.
    const RgbaImage four{4, 1, {0, 0, 0, 255, 100, 0, 0, 255, 200, 0, 0, 255, 40, 0, 0, 255}};
    const RgbaImage half = ScaledTo(four, 2, 1);
    EXPECT_EQ(half.pixels, (std::vector<std::uint8_t>{50, 0, 0, 255, 120, 0, 0, 255}));
    const RgbaImage three{3, 1, {0, 0, 0, 0, 90, 0, 0, 90, 180, 0, 0, 180}};
    // Pixel 0 covers old 0 and half of old 1: (0 + 45) / 1.5 = 30; pixel 1: (45 + 180) / 1.5.
    EXPECT_EQ(ScaledTo(three, 2, 1).pixels,
              (std::vector<std::uint8_t>{30, 0, 0, 30, 150, 0, 0, 150}));
    const RgbaImage picture = TestPicture(32, 24, true);
    EXPECT_EQ(ScaledTo(picture, 32, 24).pixels, picture.pixels) << "the same size is the same";
    const RgbaImage small = ScaledTo(picture, 8, 6);
    EXPECT_EQ(small.width, 8u);
    EXPECT_EQ(small.height, 6u);
    // Each new pixel the mean of a 4 x 4 block.
    int sum = 0;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            sum += picture.pixels[(std::size_t(y) * 32 + x) * 4];
        }
    }
    EXPECT_NEAR(small.pixels[0], sum / 16.0, 0.5);
    EXPECT_TRUE(ScaledTo(picture, 0, 6).pixels.empty());
}

} // namespace
} // namespace pictavo::testing
