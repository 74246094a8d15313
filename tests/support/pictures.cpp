#include "pictures.h"

#include "image_files.h"
#include "texture/image_decode.h"
#include "texture/image_encode.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace pictavo::testing {

RgbaImage TestPicture(std::uint32_t width, std::uint32_t height, bool alpha, unsigned seed) {
    RgbaImage image{width, height, std::vector<std::uint8_t>(std::size_t{width} * height * 4)};
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> grain(-6, 6);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint8_t* pixel = image.pixels.data() + (std::size_t{y} * width + x) * 4;
            const double u = static_cast<double>(x) / width;
            const double v = static_cast<double>(y) / height;
            const bool stripe = (x / 37 + y / 53) % 3 == 0;
            const double values[4] = {200 * u + 30 + grain(random),
                                      120 + 100 * std::sin(6.28 * v + seed) + grain(random),
                                      stripe ? 40.0 : 220 * (1 - u * v),
                                      alpha ? 255 * (0.5 + 0.5 * std::cos(9 * u * v)) : 255};
            for (int c = 0; c < 4; ++c) {
                pixel[c] = static_cast<std::uint8_t>(std::clamp(values[c], 0.0, 255.0));
            }
        }
    }
    return image;
}

double Psnr(const RgbaImage& a, const RgbaImage& b, bool colourOnly) {
    if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size()) {
        return 0;
    }
    double squared = 0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        if (colourOnly && i % 4 == 3) {
            continue;
        }
        const double difference = double(a.pixels[i]) - double(b.pixels[i]);
        squared += difference * difference;
        ++count;
    }
    return squared == 0 ? std::numeric_limits<double>::infinity()
                        : 10 * std::log10(255.0 * 255.0 * count / squared);
}

void WritePng(const std::filesystem::path& path, const RgbaImage& image) {
    std::vector<std::uint8_t> png;
    EncodePng(image, png);
    WriteBytes(path, png);
}

RgbaImage ReadPicture(const std::filesystem::path& path) {
    RgbaImage image;
    // A picture that does not decode reads as empty.
    static_cast<void>(DecodePicture(ReadBytes(path), image));
    return image;
}

RgbaImage HemisphereNormalMap(std::uint32_t side, float radius, bool gamesLayout) {
    RgbaImage image{side, side, {}};
    image.pixels.reserve(std::size_t(side) * side * 4);
    const auto byte = [](float v) { return std::uint8_t(std::lround((v + 1) * 127.5f)); };
    for (std::uint32_t row = 0; row < side; ++row) {
        for (std::uint32_t column = 0; column < side; ++column) {
            float right = (float(column) + 0.5f - float(side) / 2) / radius;
            float down = (float(row) + 0.5f - float(side) / 2) / radius;
            if (right * right + down * down >= 1) {
                right = down = 0;
            }
            const float out = std::sqrt(1 - right * right - down * down);
            if (gamesLayout) {
                image.pixels.insert(image.pixels.end(),
                                    {byte(down), byte(down), byte(down), byte(right)});
            } else {
                image.pixels.insert(image.pixels.end(), {byte(right), byte(down), byte(out), 255});
            }
        }
    }
    return image;
}

} // namespace pictavo::testing
