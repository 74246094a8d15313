#pragma once

#include "texture/encode.h"
#include "texture/texture_reader.h"

#include <cstdint>
#include <optional>

enum class Target { kDefault, kDds, kIwi, kPng, kTga };

// How each file is converted, whoever asks for it.
struct ConvertSettings {
    Target target = Target::kDefault;
    std::uint32_t level = 0; // of a texture written as PNG or TGA
    std::uint32_t face = 0;
    bool overwrite = false;
    // How a picture becomes a texture; no format means DXT1, or DXT5 with alpha.
    std::optional<pictavo::FormatCode> format;
    pictavo::EncodeSettings encode;
    std::uint8_t iwiVersion = 6;
    // How a texture's bytes are read where they allow more than one reading.
    pictavo::ReadOptions read;
};
