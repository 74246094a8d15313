#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

inline constexpr int kStartupPictureWidth = 256;
inline constexpr int kStartupPictureHeight = 128;
inline constexpr std::size_t kStartupPictureSize = 32768;

// The picture shown before any file is loaded: DXT5 blocks of one 256 x 128 level, bottom
// row first. Built from res/startup_picture.dxt5 (see res/README.md).
extern const std::array<std::uint8_t, kStartupPictureSize> kStartupPicture;

namespace pictavo {
struct Texture;
}

// The start-up picture as a texture with its rows top first, as the 2D view shows files.
std::shared_ptr<const pictavo::Texture> StartupTexture();
