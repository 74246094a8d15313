#include "grid/cell_caption.h"

#include <algorithm>

namespace pictavo {

namespace {

// The most alpha a texel may have and still show as nothing over the checkerboard (3%).
constexpr std::uint8_t kNearlyClear = 8;

} // namespace

bool NearlyTransparent(const RgbaImage& image) {
    if (image.pixels.empty()) {
        return false;
    }
    for (std::size_t i = 3; i < image.pixels.size(); i += 4) {
        if (image.pixels[i] > kNearlyClear) {
            return false;
        }
    }
    return true;
}

std::string CellCaption(const GridThumbnail& thumbnail) {
    std::string caption = std::to_string(thumbnail.width) + " x " +
                          std::to_string(thumbnail.height) + " " + thumbnail.format;
    if (thumbnail.faces == 6) {
        caption += " cube";
    }
    if (NearlyTransparent(thumbnail.image)) {
        caption += ", nearly transparent (alpha \u2248 0)";
    }
    if (!thumbnail.warning.empty()) {
        caption += ". " + thumbnail.warning;
    }
    return caption;
}

} // namespace pictavo
