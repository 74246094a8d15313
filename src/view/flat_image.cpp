#include "view/flat_image.h"

#include "cubemap/cube_faces.h"
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
    const std::uint32_t width = texture_ ? texture_->info.LevelWidth(std::uint32_t(level_)) : 0;
    return ShowsCross() ? width * pictavo::kCrossColumns : width;
}

std::uint32_t FlatImage::LevelHeight() const {
    const std::uint32_t height = texture_ ? texture_->info.LevelHeight(std::uint32_t(level_)) : 0;
    return ShowsCross() ? height * pictavo::kCrossRows : height;
}

void FlatImage::SetCross(bool cross) {
    if (cross != cross_) {
        cross_ = cross;
        decoded_ = false;
    }
}

bool FlatImage::ShowsCross() const {
    return cross_ && std::uint32_t(FaceCount()) == pictavo::kCubeFaces;
}

std::vector<TexelRect> FlatImage::Pieces() const {
    if (!ShowsCross()) {
        return {{0, 0, LevelWidth(), LevelHeight()}};
    }
    const std::uint32_t width = LevelWidth() / pictavo::kCrossColumns;
    const std::uint32_t height = LevelHeight() / pictavo::kCrossRows;
    std::vector<TexelRect> pieces;
    for (std::uint32_t face = 0; face < pictavo::kCubeFaces; ++face) {
        const pictavo::CrossCell cell = pictavo::CrossCellOf(face);
        pieces.push_back({cell.column * width, cell.row * height, width, height});
    }
    return pieces;
}

const pictavo::RgbaImage& FlatImage::Decoded() {
    if (decoded_) {
        return image_;
    }
    decoded_ = true;
    image_ = {};
    if (texture_ && ShowsCross()) {
        std::array<pictavo::RgbaImage, pictavo::kCubeFaces> faces;
        if (pictavo::DecodeCubeFaces(*texture_, std::uint32_t(level_), faces)) {
            image_ = pictavo::CrossOf(faces);
        }
        return image_;
    }
    if (!texture_ ||
        !pictavo::DecodeImage(*texture_, std::uint32_t(level_), std::uint32_t(face_), image_)) {
        image_ = {};
    }
    return image_;
}

std::optional<TexelColour> FlatImage::TexelAt(TexelPosition texel) {
    const pictavo::RgbaImage& image = Decoded();
    const std::vector<TexelRect> pieces = Pieces();
    const bool onPiece = std::any_of(pieces.begin(), pieces.end(), [texel](const TexelRect& r) {
        return texel.x >= r.x && texel.y >= r.y && texel.x - r.x < r.width &&
               texel.y - r.y < r.height;
    });
    if (!onPiece || texel.x >= image.width || texel.y >= image.height) {
        return std::nullopt;
    }
    const std::uint8_t* at =
        image.pixels.data() + (std::size_t(texel.y) * image.width + texel.x) * 4;
    return TexelColour{at[0], at[1], at[2], at[3]};
}
