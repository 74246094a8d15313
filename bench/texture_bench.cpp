// Decoding 2048 x 2048 DXT levels against libsquish (and DXT1 against a memset of as many
// bytes), and exporting a folder of IWI files to
// PNG against ImageMagick converting the same blocks as DDS, one process per file. Both sides
// of a comparison are timed in the same iterations; the ratios are printed at the end.
#include "comparison.h"
#include "external_tools.h"
#include "image_files.h"
#include "texture/decode.h"
#include "texture/image_encode.h"
#include "texture/texture_reader.h"
#include "texture/texture_writer.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <squish.h>
#include <string>

namespace {

using pictavo::RgbaImage;
using pictavo::Texture;
using pictavo::TextureError;
using pictavo::bench::AddTime;
using pictavo::bench::Compare;
using pictavo::bench::CompareWithin;
using pictavo::bench::Summary;
using pictavo::testing::Bytes;
using pictavo::testing::Quoted;
using pictavo::testing::TempDir;

// A picture with a texture's mix of smooth shading, soft shapes and grain; alpha fades
// towards the corners, so DXT5 levels carry real alpha.
Bytes SyntheticRgba(std::uint32_t side, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> grain(-10, 10);
    Bytes rgba(static_cast<std::size_t>(side) * side * 4);
    const double phase = seed * 0.7;
    for (std::uint32_t y = 0; y < side; ++y) {
        for (std::uint32_t x = 0; x < side; ++x) {
            const double u = static_cast<double>(x) / side;
            const double v = static_cast<double>(y) / side;
            const double wave = std::sin(9 * u + 5 * v + phase) * std::cos(7 * v - 3 * u);
            const double shade[4] = {
                120 + 90 * wave + grain(random),
                60 + 150 * u + grain(random),
                200 - 140 * v + grain(random),
                255 * (1.4 - 2 * std::hypot(u - 0.5, v - 0.5)) + grain(random),
            };
            std::uint8_t* pixel = rgba.data() + (static_cast<std::size_t>(y) * side + x) * 4;
            for (int c = 0; c < 4; ++c) {
                pixel[c] = static_cast<std::uint8_t>(std::clamp(shade[c], 0.0, 255.0));
            }
        }
    }
    return rgba;
}

int SquishFlags(int format) {
    return format == pictavo::kFormatDxt1 ? squish::kDxt1 : squish::kDxt5;
}

// A level as a DXT compressor writes it: the synthetic picture through libsquish.
Texture SyntheticTexture(int format, std::uint32_t side, unsigned seed) {
    const int flags = SquishFlags(format) | squish::kColourRangeFit;
    Bytes blocks(
        squish::GetStorageRequirements(static_cast<int>(side), static_cast<int>(side), flags));
    squish::CompressImage(SyntheticRgba(side, seed).data(), static_cast<int>(side),
                          static_cast<int>(side), blocks.data(), flags);
    Texture texture;
    texture.info.format = static_cast<std::uint8_t>(format);
    texture.info.width = side;
    texture.info.height = side;
    texture.images.push_back(std::move(blocks));
    return texture;
}

void DecodeDxt(benchmark::State& state) {
    const int format = static_cast<int>(state.range(0));
    static const std::map<int, Texture> textures = [] {
        std::map<int, Texture> made;
        for (const int f : {pictavo::kFormatDxt1, pictavo::kFormatDxt5}) {
            made.emplace(f, SyntheticTexture(f, 2048, 1));
        }
        return made;
    }();
    const Texture& texture = textures.at(format);
    const pictavo::FormatInfo& info = *pictavo::FindFormat(format);
    // Both sides write into buffers allocated before timing starts.
    RgbaImage ours;
    ours.pixels.resize(2048 * 2048 * 4);
    Bytes theirs(2048 * 2048 * 4);
    double oursSeconds = 0;
    double squishSeconds = 0;
    double memsetSeconds = 0; // writing as many bytes, the fastest a decode can be
    for (auto _ : state) {
        AddTime(memsetSeconds, [&] { std::memset(ours.pixels.data(), 0, ours.pixels.size()); });
        benchmark::DoNotOptimize(ours.pixels.data());
        AddTime(oursSeconds, [&] {
            if (!pictavo::DecodeLevel(info, 2048, 2048, texture.Image(0), ours)) {
                state.SkipWithError("the level did not decode");
            }
        });
        AddTime(squishSeconds, [&] {
            squish::DecompressImage(theirs.data(), 2048, 2048, texture.Image(0).data(),
                                    SquishFlags(format));
        });
        benchmark::DoNotOptimize(ours.pixels.data());
        benchmark::DoNotOptimize(theirs.data());
    }
    Compare(state, std::string("decode 2048x2048 ") + info.name, "libsquish", oursSeconds,
            squishSeconds, 3);
    if (format == pictavo::kFormatDxt1) {
        CompareWithin(state, "decode 2048x2048 DXT1 (16 MiB)", "memset", oursSeconds, memsetSeconds,
                      1.5);
    }
}

// 40 single-level IWI files (version 6) of 1024 and 512 pixels, DXT1 and DXT5, and a DDS
// file of the same blocks beside each for ImageMagick.
struct ExportFolder {
    TempDir dir;
    std::vector<std::string> iwi;
    std::vector<std::string> dds;

    ExportFolder() {
        const Texture kinds[] = {
            SyntheticTexture(pictavo::kFormatDxt1, 1024, 2),
            SyntheticTexture(pictavo::kFormatDxt5, 1024, 3),
            SyntheticTexture(pictavo::kFormatDxt1, 512, 4),
            SyntheticTexture(pictavo::kFormatDxt5, 512, 5),
        };
        for (int n = 0; n < 40; ++n) {
            const Texture& texture = kinds[n % 4];
            iwi.push_back(dir.File("tex" + std::to_string(n) + ".iwi"));
            dds.push_back(dir.File("tex" + std::to_string(n) + ".dds"));
            if (pictavo::WriteIwi(texture, 6, iwi.back()) != TextureError::kNone ||
                pictavo::WriteDds(texture, dds.back()) != TextureError::kNone) {
                std::fprintf(stderr, "cannot write the export folder\n");
                std::exit(1);
            }
        }
    }
};

// What an export of one file does: read, decode level 0, encode and write the PNG.
bool ExportPng(const std::string& iwi, const std::string& png) {
    Texture texture;
    RgbaImage rgba;
    Bytes encoded;
    return pictavo::ReadTexture(iwi, texture) == TextureError::kNone &&
           pictavo::DecodeImage(texture, 0, 0, rgba) && pictavo::EncodePng(rgba, encoded) &&
           pictavo::WriteFileReplacing(png, encoded) == TextureError::kNone;
}

std::uintmax_t TotalSize(const std::vector<std::string>& files) {
    std::uintmax_t total = 0;
    for (const std::string& file : files) {
        total += std::filesystem::file_size(file);
    }
    return total;
}

void ExportFolderToPng(benchmark::State& state) {
    if (!pictavo::testing::ToolInstalled("convert")) {
        state.SkipWithError("ImageMagick's convert is not installed");
        return;
    }
    static const ExportFolder folder;
    std::vector<std::string> ours;
    std::vector<std::string> theirs;
    for (std::size_t i = 0; i < folder.iwi.size(); ++i) {
        ours.push_back(folder.iwi[i] + ".png");
        theirs.push_back(folder.dds[i] + ".png");
    }
    double oursSeconds = 0;
    double imageMagickSeconds = 0;
    for (auto _ : state) {
        AddTime(oursSeconds, [&] {
            for (std::size_t i = 0; i < ours.size(); ++i) {
                if (!ExportPng(folder.iwi[i], ours[i])) {
                    state.SkipWithError("a file did not export");
                }
            }
        });
        AddTime(imageMagickSeconds, [&] {
            for (std::size_t i = 0; i < theirs.size(); ++i) {
                const std::string command = "convert " + Quoted(folder.dds[i]) + " " +
                                            Quoted(theirs[i]) + " >/dev/null 2>&1";
                if (std::system(command.c_str()) != 0) {
                    state.SkipWithError("ImageMagick did not convert a file");
                }
            }
        });
    }
    Compare(state, "export 40 IWI to PNG", "ImageMagick", oursSeconds, imageMagickSeconds, 3);
    const double sizeRatio =
        static_cast<double>(TotalSize(ours)) / static_cast<double>(TotalSize(theirs));
    state.counters["png_size_ratio"] = sizeRatio;
    char line[256];
    std::snprintf(
        line, sizeof line,
        "PNG bytes of the 40 files: ours %ju, ImageMagick %ju, ratio %.3f (goal <= 1.1) %s",
        TotalSize(ours), TotalSize(theirs), sizeRatio, sizeRatio <= 1.1 ? "met" : "NOT MET");
    Summary()["export PNG size"] = line;
}

BENCHMARK(DecodeDxt)
    ->Arg(pictavo::kFormatDxt1)
    ->Arg(pictavo::kFormatDxt5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ExportFolderToPng)->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return pictavo::bench::RunAndSummarise(argc, argv);
}
