// Decoding the kinds the Call of Duty 2 and Black Ops II mods carry, 2048 x 2048 each, beside
// a decoder we did not write: a version 27 DXT5 texture (read from memory and level 0
// decoded) against libsquish, BC5 against Pillow and against our own DXT5 decode of the same
// picture, as whole programs writing a TGA our converter against NVIDIA's nvdecompress, and
// BC7 against Pillow. Pillow's decodes are timed inside Python, without its start. Both sides
// of a comparison are timed in the same iterations; the ratios are printed at the end.
#include "comparison.h"
#include "external_tools.h"
#include "image_files.h"
#include "pictures.h"
#include "texture/decode.h"
#include "texture/encode.h"
#include "texture/texture_reader.h"
#include "texture/texture_writer.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <squish.h>
#include <string>

namespace {

using pictavo::RgbaImage;
using pictavo::Texture;
using pictavo::TextureError;
using pictavo::bench::AddTime;
using pictavo::bench::Compare;
using pictavo::testing::Bytes;
using pictavo::testing::Quoted;
using pictavo::testing::TempDir;

constexpr std::uint32_t kSide = 2048;

bool Run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Pillow's decode of a file, in seconds, timed inside Python around the decode alone.
double PillowDecodeSeconds(const std::string& python, const std::string& file) {
    const std::string command =
        python + " -c \"import sys, time; from PIL import Image; im = Image.open(sys.argv[1]); " +
        "start = time.perf_counter(); im.load(); print(time.perf_counter() - start)\" " +
        Quoted(file);
    std::FILE* pipe = popen(command.c_str(), "r");
    double seconds = -1;
    if (pipe != nullptr) {
        if (std::fscanf(pipe, "%lf", &seconds) != 1) {
            seconds = -1;
        }
        pclose(pipe);
    }
    return seconds;
}

// The files the comparisons decode, made once.
struct Samples {
    TempDir dir;
    Bytes version27; // DXT5 with all its levels, as Black Ops II stores it
    Texture dxt5;    // the same texture, in memory
    std::string bc5; // DDS made by nvcompress -bc5; empty without nvcompress
    std::string bc7; // DDS of random blocks of every BC7 mode
    Texture bc5Texture;
    Texture bc7Texture;

    Samples() {
        const RgbaImage picture = pictavo::testing::TestPicture(kSide, kSide, true);
        pictavo::EncodeSettings settings;
        settings.format = pictavo::kFormatDxt5;
        const std::string iwi = dir.File("v27.iwi");
        if (!pictavo::EncodeTexture(picture, settings, dxt5) ||
            pictavo::WriteIwi(dxt5, 27, iwi) != TextureError::kNone) {
            std::fprintf(stderr, "cannot make the version 27 texture\n");
            std::exit(1);
        }
        version27 = pictavo::testing::ReadBytes(iwi);

        if (pictavo::testing::ToolInstalled("nvcompress")) {
            pictavo::testing::WritePng(dir.path() / "picture.png", picture);
            bc5 = dir.File("bc5.dds");
            if (!Run("nvcompress -bc5 " + Quoted(dir.File("picture.png")) + " " + Quoted(bc5)) ||
                pictavo::ReadTexture(bc5, bc5Texture) != TextureError::kNone) {
                bc5.clear();
            }
        }

        bc7Texture.info.format = pictavo::kFormatBc7;
        bc7Texture.info.width = bc7Texture.info.height = kSide;
        Bytes blocks(bc7Texture.info.LevelBytes(0));
        std::mt19937 random(7);
        for (std::size_t at = 0; at < blocks.size(); at += 16) {
            for (std::size_t i = 0; i < 16; ++i) {
                blocks[at + i] = static_cast<std::uint8_t>(random());
            }
            const unsigned mode = (at / 16) % 8;
            blocks[at] =
                static_cast<std::uint8_t>((blocks[at] & ~((2u << mode) - 1)) | (1u << mode));
        }
        bc7Texture.images = {blocks};
        bc7 = dir.File("bc7.dds");
        if (pictavo::WriteDds(bc7Texture, bc7) != TextureError::kNone) {
            std::fprintf(stderr, "cannot write the BC7 file\n");
            std::exit(1);
        }
    }
};

const Samples& TheSamples() {
    static const Samples samples;
    return samples;
}

void DecodeVersion27Dxt5(benchmark::State& state) {
    const Samples& samples = TheSamples();
    Texture reference;
    pictavo::ReadTexture(samples.version27, reference);
    Bytes theirs(std::size_t{kSide} * kSide * 4);
    double oursSeconds = 0;
    double squishSeconds = 0;
    for (auto _ : state) {
        RgbaImage ours;
        AddTime(oursSeconds, [&] {
            Texture texture;
            if (pictavo::ReadTexture(samples.version27, texture) != TextureError::kNone ||
                !pictavo::DecodeImage(texture, 0, 0, ours)) {
                state.SkipWithError("the texture did not read and decode");
            }
        });
        AddTime(squishSeconds, [&] {
            squish::DecompressImage(theirs.data(), kSide, kSide, reference.Image(0).data(),
                                    squish::kDxt5);
        });
        benchmark::DoNotOptimize(ours.pixels.data());
        benchmark::DoNotOptimize(theirs.data());
    }
    Compare(state, "2048x2048 IWI v27 DXT5 (read and decode)", "libsquish", oursSeconds,
            squishSeconds);
}

// Ours in memory against Pillow's decode of the same file, each into a new image as a program
// decodes.
void DecodeAgainstPillow(benchmark::State& state, const Texture& texture, const std::string& file,
                         const std::string& what, std::optional<double> goal = std::nullopt) {
    const std::string python = pictavo::testing::PythonWithPillow();
    if (python.empty() || file.empty()) {
        state.SkipWithError("needs Python 3 with Pillow, and for BC5 nvcompress");
        return;
    }
    double oursSeconds = 0;
    double pillowSeconds = 0;
    for (auto _ : state) {
        RgbaImage ours;
        AddTime(oursSeconds, [&] {
            if (!pictavo::DecodeImage(texture, 0, 0, ours)) {
                state.SkipWithError("the level did not decode");
            }
        });
        benchmark::DoNotOptimize(ours.pixels.data());
        const double seconds = PillowDecodeSeconds(python, file);
        if (seconds < 0) {
            state.SkipWithError("Pillow did not decode the file");
        }
        pillowSeconds += seconds;
    }
    Compare(state, what, "Pillow", oursSeconds, pillowSeconds, goal);
}

void DecodeBc5(benchmark::State& state) {
    DecodeAgainstPillow(state, TheSamples().bc5Texture, TheSamples().bc5, "2048x2048 BC5 decode");
}

void DecodeBc7(benchmark::State& state) {
    DecodeAgainstPillow(state, TheSamples().bc7Texture, TheSamples().bc7, "2048x2048 BC7 decode",
                        4);
}

// Our BC5 decode against our DXT5 decode of the same picture, taking turns at coming first,
// each into an image kept from one iteration to the next: new memory costs a page fault a
// 4 KiB page, which on a busy virtual machine can outweigh the decode.
void DecodeBc5AgainstDxt5(benchmark::State& state) {
    const Samples& samples = TheSamples();
    if (samples.bc5.empty()) {
        state.SkipWithError("nvcompress (libnvtt-bin) is not installed");
        return;
    }
    RgbaImage bc5;
    RgbaImage dxt5;
    const auto decode = [&state](const Texture& texture, RgbaImage& into) {
        if (!pictavo::DecodeImage(texture, 0, 0, into)) {
            state.SkipWithError("the level did not decode");
        }
        benchmark::DoNotOptimize(into.pixels.data());
    };
    decode(samples.bc5Texture, bc5); // their pages, faulted in before timing
    decode(samples.dxt5, dxt5);
    double bc5Seconds = 0;
    double dxt5Seconds = 0;
    bool dxt5First = false;
    for (auto _ : state) {
        if (dxt5First) {
            AddTime(dxt5Seconds, [&] { decode(samples.dxt5, dxt5); });
        }
        AddTime(bc5Seconds, [&] { decode(samples.bc5Texture, bc5); });
        if (!dxt5First) {
            AddTime(dxt5Seconds, [&] { decode(samples.dxt5, dxt5); });
        }
        dxt5First = !dxt5First;
    }
    Compare(state, "2048x2048 BC5 decode into a kept image", "our DXT5 decode", bc5Seconds,
            dxt5Seconds, 1);
}

// Whole programs: our converter and nvdecompress each read the DDS, decode level 0 and write
// a TGA of it.
void Bc5ToTgaAgainstNvdecompress(benchmark::State& state) {
    const Samples& samples = TheSamples();
    if (samples.bc5.empty() || !pictavo::testing::ToolInstalled("nvdecompress")) {
        state.SkipWithError("nvcompress and nvdecompress (libnvtt-bin) are not installed");
        return;
    }
    const std::string convert = PICTAVO_CONVERT;
    const std::string out = samples.dir.File("ours");
    double oursSeconds = 0;
    double nvttSeconds = 0;
    for (auto _ : state) {
        AddTime(oursSeconds, [&] {
            if (!Run(Quoted(convert) + " -q -y --to tga -o " + Quoted(out) + " " +
                     Quoted(samples.bc5))) {
                state.SkipWithError("the converter failed");
            }
        });
        AddTime(nvttSeconds, [&] {
            if (!Run("nvdecompress " + Quoted(samples.bc5))) {
                state.SkipWithError("nvdecompress failed");
            }
        });
    }
    Compare(state, "2048x2048 BC5 DDS to TGA, whole program", "nvdecompress", oursSeconds,
            nvttSeconds, 1);
}

BENCHMARK(DecodeVersion27Dxt5)->Unit(benchmark::kMillisecond);
BENCHMARK(DecodeBc5)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(DecodeBc5AgainstDxt5)->Unit(benchmark::kMillisecond);
BENCHMARK(Bc5ToTgaAgainstNvdecompress)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(DecodeBc7)->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return pictavo::bench::RunAndSummarise(argc, argv);
}
