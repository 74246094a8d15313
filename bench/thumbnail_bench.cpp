// A 256-pixel thumbnail of a 2048 x 2048 DXT5 IWI with all its levels: the whole
// pictavo-thumbnailer process as the desktop starts it (goal: under 30 ms), against decoding
// level 0 and scaling it down in process.
#include "external_tools.h"
#include "image_files.h"
#include "texture/image_encode.h"
#include "texture/texture_reader.h"
#include "thumbnailer/thumbnail.h"

#include <benchmark/benchmark.h>

namespace {

using pictavo::testing::TempDir;

constexpr std::uint32_t kSize = 256;

class Sample {
public:
    Sample() {
        pictavo::testing::WriteBytes(input(), pictavo::testing::MakeIwi({6, 13, 2048, 2048, 12}));
    }
    std::string input() const { return dir_.File("big.iwi"); }
    std::string output() const { return dir_.File("thumb.png"); }

private:
    TempDir dir_;
};

void ThumbnailerProcess(benchmark::State& state) {
    const Sample sample;
    for (auto _ : state) {
        if (pictavo::testing::RunWithoutEnvironment({PICTAVO_THUMBNAILER, "-s",
                                                     std::to_string(kSize), sample.input(),
                                                     sample.output()}) != 0) {
            state.SkipWithError("the thumbnailer failed");
            return;
        }
    }
}

void Level0ScaledDown(benchmark::State& state) {
    const Sample sample;
    for (auto _ : state) {
        pictavo::Texture texture;
        pictavo::RgbaImage level0;
        std::vector<std::uint8_t> png;
        if (pictavo::ReadTexture(sample.input(), texture) != pictavo::TextureError::kNone ||
            !pictavo::DecodeLevel(*pictavo::FindFormat(texture.info.format), texture.info.width,
                                  texture.info.height, texture.Image(0), level0) ||
            !pictavo::EncodePng(pictavo::FitWithin(level0, kSize), png)) {
            state.SkipWithError("level 0 could not be read");
            return;
        }
        benchmark::DoNotOptimize(png.data());
    }
}

} // namespace

BENCHMARK(ThumbnailerProcess)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Level0ScaledDown)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
