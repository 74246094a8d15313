#pragma once

#include "encode.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class Target { kDefault, kDds, kIwi, kPng, kTga };

struct ConvertOptions {
    bool infoOnly = false;
    Target target = Target::kDefault;
    std::uint32_t level = 0; // of a texture written as PNG or TGA
    std::uint32_t face = 0;
    bool recursive = false;
    std::string outputDir; // empty: beside each source
    bool overwrite = false;
    unsigned jobs = 0; // 0: one per core
    bool quiet = false;
    bool json = false;
    // How a picture becomes a texture; no format means DXT1, or DXT5 with alpha.
    std::optional<pictavo::FormatCode> format;
    pictavo::EncodeSettings encode;
    std::uint8_t iwiVersion = 6;
    std::vector<std::string> paths;
};

struct ParsedArguments {
    enum class Action { kRun, kHelp, kVersion, kBadUsage } action = Action::kRun;
    ConvertOptions options;
    std::string problem; // for kBadUsage
};

ParsedArguments ParseConvertArguments(const std::vector<std::string>& arguments);

// The --help text, which says whether best quality is built in.
std::string ConvertUsage();
