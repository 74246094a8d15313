#include "view/flat_image.h"

#include "texture/pixel_format.h"

#include <algorithm>
#include <utility>

void FlatImage::SetTexture(std::shared_ptr<const pictavo::Texture> texture) {
    texture_ = std::move(texture);
    Select(level_, face_);
    decoded_ = false;
}

void FlatImage::Select(int level, int face) {
    const int newLevel = std::clamp(level, 0, std::max(LevelCount() - 1, 0));
    const int newFace = std::clamp(face, 0, std::max(FaceCount() - 1, 0));
    if (newLevel != level_ || newFace != face_) {
        decoded_ = false;
    }
    level_ = newLevel;
    face_ = newFace;
}

int FlatImage::LevelCount() const {
    return texture_ ? int(texture_->info.levels) : 0;
}

int FlatImage::FaceCount() const {
    return texture_ ? int(texture_->info.faces) : 0;
}

std::uint32_t FlatImage::LevelWidth() const {
    return texture_ ? texture_->info.LevelWidth(std::uint32_t(level_)) : 0;
}

std::uint32_t FlatImage::LevelHeight() const {
    return texture_ ? texture_->info.LevelHeight(std::uint32_t(level_)) : 0;
}

const pictavo::RgbaImage& FlatImage::Decoded() {
    if (decoded_) {
        return image_;
    }
    decoded_ = true;
    image_ = {};
    if (!texture_ ||
        !pictavo::DecodeImage(*texture_, std::uint32_t(level_), std::uint32_t(face_), image_)) {
        image_ = {};
    }
    return image_;
}

std::optional<TexelColour> FlatImage::TexelAt(TexelPosition texel) {
    const pictavo::RgbaImage& image = Decoded();
    if (texel.x >= image.width || texel.y >= image.height) {
        return std::nullopt;
    }
    const std::uint8_t* at =
        image.pixels.data() + (std::size_t(texel.y) * image.width + texel.x) * 4;
    return TexelColour{at[0], at[1], at[2], at[3]};
}
