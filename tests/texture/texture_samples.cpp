#include "texture_samples.h"

#include "external_tools.h"
#include "texture/texture_reader.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace pictavo::testing {

std::vector<CorpusTexture>
ReadCorpusTextures(const std::function<bool(const TextureInfo&)>& wanted) {
    const std::filesystem::path corpus = CorpusDir();
    std::vector<std::filesystem::path> files;
    if (!corpus.empty()) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
            const std::string extension = entry.path().extension().string();
            if (entry.is_regular_file() && (extension == ".iwi" || extension == ".dds")) {
                files.push_back(entry.path());
            }
        }
    }
    std::sort(files.begin(), files.end());
    std::vector<CorpusTexture> textures;
    for (const std::filesystem::path& file : files) {
        TextureInfo info;
        CorpusTexture sample;
        if (ReadTextureInfo(file.string(), info) == TextureError::kNone && wanted(info) &&
            ReadTexture(file.string(), sample.texture) == TextureError::kNone) {
            sample.name = file.lexically_relative(corpus).generic_string();
            textures.push_back(std::move(sample));
        }
    }
    return textures;
}

RgbaImage DecodeLevel0(const Texture& texture) {
    RgbaImage image;
    EXPECT_TRUE(DecodeImage(texture, 0, 0, image)) << "format " << int{texture.info.format};
    return image;
}

::testing::AssertionResult PixelsWithin(const Bytes& expected, const Bytes& actual,
                                        std::uint32_t width, int tolerance) {
    if (expected.size() != actual.size()) {
        return ::testing::AssertionFailure()
               << actual.size() << " bytes where " << expected.size() << " were expected";
    }
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (std::abs(expected[i] - actual[i]) > tolerance) {
            const std::size_t pixel = i / 4;
            return ::testing::AssertionFailure()
                   << "pixel (" << pixel % width << ", " << pixel / width << ") channel " << i % 4
                   << ": " << int{actual[i]} << " where " << int{expected[i]} << " was expected";
        }
    }
    return ::testing::AssertionSuccess();
}

Bytes StoredToRgba(int format, const Bytes& stored) {
    Bytes rgba;
    const std::size_t step = FindFormat(format)->bytesPerBlock;
    for (std::size_t i = 0; i + step <= stored.size(); i += step) {
        const std::uint8_t* p = stored.data() + i;
        const std::array<std::uint8_t, 4> pixel =
            format == kFormatBgra8  ? std::array<std::uint8_t, 4>{p[2], p[1], p[0], p[3]}
            : format == kFormatBgr8 ? std::array<std::uint8_t, 4>{p[2], p[1], p[0], 255}
            : format == kFormatLa8  ? std::array<std::uint8_t, 4>{p[0], p[0], p[0], p[1]}
                                    : std::array<std::uint8_t, 4>{255, 255, 255, p[0]};
        rgba.insert(rgba.end(), pixel.begin(), pixel.end());
    }
    return rgba;
}

Bytes ImageMagickPixels(const TempDir& dir, const std::string& file, const std::string& options) {
    const std::string raw = dir.File("imagemagick.rgba");
    std::filesystem::remove(raw);
    const std::string command =
        "convert " + Quoted(file) + " " + options + " -depth 8 rgba:" + Quoted(raw) + " 2>&1";
    return std::system(command.c_str()) == 0 ? ReadBytes(raw) : Bytes();
}

} // namespace pictavo::testing
