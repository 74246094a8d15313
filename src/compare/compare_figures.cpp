#include "compare/compare_figures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

namespace pictavo {
namespace {

// Which old pixels each new one covers along one side, and by how much.
struct Span {
    std::uint32_t first = 0;
    std::vector<double> weights; // summing to 1
};

std::vector<Span> Spans(std::uint32_t from, std::uint32_t to) {
    std::vector<Span> spans(to);
    const double step = double(from) / double(to);
    for (std::uint32_t i = 0; i < to; ++i) {
        const double start = i * step;
        const double end = std::min((i + 1) * step, double(from));
        Span& span = spans[i];
        span.first = std::uint32_t(start);
        for (std::uint32_t old = span.first; old < from && old < end; ++old) {
            const double covered = std::min(end, old + 1.0) - std::max(start, double(old));
            span.weights.push_back(covered / step);
        }
    }
    return spans;
}

} // namespace

bool Compare(const RgbaImage& a, const RgbaImage& b, CompareFigures& figures) {
    if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size()) {
        return false;
    }
    figures = {};
    std::uint64_t squared = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        const int difference = std::abs(int(a.pixels[i]) - int(b.pixels[i]));
        int& largest = figures.largest[i % 4];
        largest = std::max(largest, difference);
        if (i % 4 != 3) {
            squared += std::uint64_t(difference * difference);
        }
    }
    const double samples = double(a.pixels.size() / 4) * 3;
    figures.psnr = squared == 0 ? std::numeric_limits<double>::infinity()
                                : 10 * std::log10(255.0 * 255.0 * samples / double(squared));
    return true;
}

RgbaImage ScaledTo(const RgbaImage& image, std::uint32_t width, std::uint32_t height) {
    RgbaImage out;
    if (width == 0 || height == 0 || image.width == 0 || image.height == 0 ||
        image.pixels.size() < std::size_t(image.width) * image.height * 4) {
        return out;
    }
    out.width = width;
    out.height = height;
    out.pixels.resize(std::size_t(width) * height * 4);
    const std::vector<Span> columns = Spans(image.width, width);
    const std::vector<Span> rows = Spans(image.height, height);
    // Across first, into a picture of the new width and the old height.
    std::vector<double> across(std::size_t(width) * image.height * 4);
    for (std::uint32_t y = 0; y < image.height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const Span& span = columns[x];
            for (std::size_t k = 0; k < span.weights.size(); ++k) {
                const std::uint8_t* from =
                    &image.pixels[(std::size_t(y) * image.width + span.first + k) * 4];
                double* to = &across[(std::size_t(y) * width + x) * 4];
                for (int c = 0; c < 4; ++c) {
                    to[c] += span.weights[k] * from[c];
                }
            }
        }
    }
    for (std::uint32_t y = 0; y < height; ++y) {
        const Span& span = rows[y];
        for (std::uint32_t x = 0; x < width; ++x) {
            double sum[4] = {};
            for (std::size_t k = 0; k < span.weights.size(); ++k) {
                const double* from = &across[((span.first + k) * std::size_t(width) + x) * 4];
                for (int c = 0; c < 4; ++c) {
                    sum[c] += span.weights[k] * from[c];
                }
            }
            std::uint8_t* to = &out.pixels[(std::size_t(y) * width + x) * 4];
            for (int c = 0; c < 4; ++c) {
                to[c] = std::uint8_t(std::clamp(std::lround(sum[c]), 0L, 255L));
            }
        }
    }
    return out;
}

RgbaImage Difference(const RgbaImage& a, const RgbaImage& b, int gain) {
    RgbaImage out;
    if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size()) {
        return out;
    }
    out.width = a.width;
    out.height = a.height;
    out.pixels.resize(a.pixels.size());
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        out.pixels[i] =
            i % 4 == 3
                ? 255
                : std::uint8_t(std::min(std::abs(int(a.pixels[i]) - int(b.pixels[i])) * gain, 255));
    }
    return out;
}

std::string FiguresText(const CompareFigures& figures) {
    const std::array<int, 4>& d = figures.largest;
    if (std::isinf(figures.psnr) && d == std::array<int, 4>{}) {
        return "identical";
    }
    char text[128];
    if (std::isinf(figures.psnr)) {
        std::snprintf(text, sizeof text, "colour identical, largest difference A %d", d[3]);
    } else {
        std::snprintf(text, sizeof text, "PSNR %.2f dB, largest difference R %d G %d B %d A %d",
                      figures.psnr, d[0], d[1], d[2], d[3]);
    }
    return text;
}

} // namespace pictavo
