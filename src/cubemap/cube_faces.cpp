#include "cubemap/cube_faces.h"

#include <algorithm>
#include <cstring>

namespace pictavo {

std::string CubeFaceName(std::uint32_t face) {
    constexpr std::array<const char*, kCubeFaces> kNames{"+X",      "\u2212X", "+Y",
                                                         "\u2212Y", "+Z",      "\u2212Z"};
    return face < kCubeFaces ? kNames[face] : "Face " + std::to_string(face);
}

CrossCell CrossCellOf(std::uint32_t face) {
    constexpr std::array<CrossCell, kCubeFaces> kCells{
        {{2, 1}, {0, 1}, {1, 0}, {1, 2}, {1, 1}, {3, 1}}};
    return kCells[std::min(face, kCubeFaces - 1)];
}

bool DecodeCubeFaces(const Texture& texture, std::uint32_t level,
                     std::array<RgbaImage, kCubeFaces>& faces) {
    if (texture.info.faces != kCubeFaces) {
        return false;
    }
    for (std::uint32_t face = 0; face < kCubeFaces; ++face) {
        if (!DecodeImage(texture, level, face, faces[face])) {
            return false;
        }
    }
    return true;
}

RgbaImage CrossOf(const std::array<RgbaImage, kCubeFaces>& faces) {
    const std::uint32_t width = faces[0].width;
    const std::uint32_t height = faces[0].height;
    RgbaImage cross;
    cross.width = width * kCrossColumns;
    cross.height = height * kCrossRows;
    cross.pixels.assign(std::size_t(cross.width) * cross.height * 4, 0);
    const std::size_t faceRow = std::size_t(width) * 4;
    for (std::uint32_t face = 0; face < kCubeFaces; ++face) {
        if (faces[face].width != width || faces[face].height != height) {
            return {};
        }
        const CrossCell cell = CrossCellOf(face);
        for (std::uint32_t y = 0; y < height; ++y) {
            const std::size_t to = (std::size_t(cell.row * height + y) * cross.width +
                                    std::size_t(cell.column) * width) *
                                   4;
            std::memcpy(cross.pixels.data() + to, faces[face].pixels.data() + y * faceRow, faceRow);
        }
    }
    return cross;
}

} // namespace pictavo
