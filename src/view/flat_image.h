#pragma once

#include "texture/decode.h"
#include "texture/texture.h"
#include "viewport/flat_viewport.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// One texel's bytes as decoded.
using TexelColour = std::array<std::uint8_t, 4>; // R, G, B, A

// A rectangle of texels of what the 2D view shows.
struct TexelRect {
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// The texture the 2D view inspects and the level and face chosen of it, or, unfolded in a
// cross, the chosen level of all six faces of a cube map. The choice is decoded once, when
// first asked for after it changed, never per frame.
class FlatImage {
public:
    // Keeps the chosen level and face where the new texture has them; null shows nothing.
    void SetTexture(std::shared_ptr<const pictavo::Texture> texture);
    const pictavo::Texture* Texture() const { return texture_.get(); }

    // Out-of-range choices are brought to the nearest there is.
    void Select(int level, int face);
    int Level() const { return level_; }
    int Face() const { return face_; }
    int LevelCount() const;
    int FaceCount() const;
    // The size of what is shown: the chosen level, or the cross of its six faces.
    std::uint32_t LevelWidth() const;
    std::uint32_t LevelHeight() const;

    // Unfolds a cube map's faces into a cross (see CrossOf); other textures stay as they are.
    void SetCross(bool cross);
    bool ShowsCross() const;
    // The parts of LevelWidth x LevelHeight that hold texels: all of it, or the cross's faces.
    std::vector<TexelRect> Pieces() const;

    // The chosen level and face as RGBA, top row first; empty when it cannot be decoded.
    const pictavo::RgbaImage& Decoded();
    std::optional<TexelColour> TexelAt(TexelPosition texel);

private:
    std::shared_ptr<const pictavo::Texture> texture_;
    int level_ = 0;
    int face_ = 0;
    bool cross_ = false;
    bool decoded_ = false;
    pictavo::RgbaImage image_;
};
