#pragma once

#include "texture/byte_source.h"
#include "texture/texture.h"
#include "texture/texture_error.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace pictavo {

// Which container a file is by its first bytes: "IWi" (three bytes tell) or "DDS " (four);
// none for anything else.
std::optional<Container> ContainerOf(std::span<const std::uint8_t> firstBytes);

// IWI or DDS, told apart by ContainerOf. The info reads only the header, so it
// allocates nothing big however large the texture is: lists and thumbnails use it.
TextureError ReadTextureInfo(ByteSource& source, TextureInfo& info);
TextureError ReadTextureInfo(const std::string& path, TextureInfo& info);

// One face of one level of a texture whose info was read from `source`, as a Texture holds
// it: gathered from wherever the info says its bytes lie, and unpacked where needed.
TextureError ReadImage(ByteSource& source, const TextureInfo& info, std::uint32_t level,
                       std::uint32_t face, Bytes& image);

// Why a read that filled `info` as far as it got failed, in a sentence for the user: the
// error's text, and for a DDS pixel format we do not read, its name.
std::string FailureText(TextureError error, const TextureInfo& info);

// Readings of a file's bytes other than the one its header gives.
struct ReadOptions {
    // Cut texels (CutTexels) read as the 4-byte texels they are, R, G, B, A, as format RGBA8;
    // the texels each level's bytes lack are transparent.
    bool fourByteTexels = false;
};

// The whole texture: one buffer per level and face, each read straight from the source.
TextureError ReadTexture(ByteSource& source, Texture& texture, const ReadOptions& options = {});
TextureError ReadTexture(std::span<const std::uint8_t> bytes, Texture& texture,
                         const ReadOptions& options = {});
TextureError ReadTexture(const std::string& path, Texture& texture,
                         const ReadOptions& options = {});

} // namespace pictavo
