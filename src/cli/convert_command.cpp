#include "convert_command.h"

#include "decode.h"
#include "image_encode.h"
#include "texture_reader.h"
#include "texture_writer.h"

#include <charconv>
#include <filesystem>
#include <optional>
#include <ostream>

namespace {

using pictavo::TextureError;

const char kUsage[] =
    "Usage: pictavo-convert [options] FILE...\n"
    "Converts each IWI file to a DDS file beside it, and each DDS file to an IWI file.\n"
    "  --to dds|iwi|png|tga  write this format instead (PNG and TGA hold one level of one face)\n"
    "  --level N             the level written as PNG or TGA (0, the largest, by default)\n"
    "  --face N              the cube-map face written as PNG or TGA (0 by default)\n"
    "  --info                print container, format, size, levels, faces and layout instead\n"
    "  --help                show this text\n"
    "  --version             show the version\n"
    "Exit status: 0 when every file succeeded, 1 when any failed, 2 for bad usage.\n";

enum class Target { kDefault, kDds, kIwi, kPng, kTga };

struct Options {
    bool infoOnly = false;
    Target target = Target::kDefault;
    std::uint32_t level = 0;
    std::uint32_t face = 0;
    std::vector<std::string> files;
};

std::optional<Target> ParseTarget(const std::string& text) {
    if (text == "dds") {
        return Target::kDds;
    }
    if (text == "iwi") {
        return Target::kIwi;
    }
    if (text == "png") {
        return Target::kPng;
    }
    if (text == "tga") {
        return Target::kTga;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> ParseNumber(const std::string& text) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

const char* Extension(Target target) {
    switch (target) {
    case Target::kDds:
        return "dds";
    case Target::kIwi:
        return "iwi";
    case Target::kPng:
        return "png";
    default:
        return "tga";
    }
}

std::string OutputPath(const std::string& path, Target target) {
    std::filesystem::path output(path);
    output.replace_extension(Extension(target));
    return output.string();
}

std::string Describe(const pictavo::TextureInfo& info) {
    const pictavo::FormatInfo* format = pictavo::FindFormat(info.format);
    return info.ContainerText() + ", " + (format != nullptr ? format->name : "?") + ", " +
           std::to_string(info.width) + " x " + std::to_string(info.height) + ", " +
           std::to_string(info.levels) + (info.levels == 1 ? " level" : " levels") + ", " +
           std::to_string(info.faces) + (info.faces == 1 ? " face" : " faces") + ", " +
           info.LayoutText();
}

// One level of one face as a picture file.
std::string WritePicture(const pictavo::Texture& texture, const Options& options,
                         const std::string& output) {
    const pictavo::TextureInfo& info = texture.info;
    if (options.level >= info.levels) {
        return "there is no level " + std::to_string(options.level) + " (it has " +
               std::to_string(info.levels) + ")";
    }
    if (options.face >= info.faces) {
        return "there is no face " + std::to_string(options.face) + " (it has " +
               std::to_string(info.faces) + ")";
    }
    pictavo::RgbaImage image;
    if (!pictavo::DecodeLevel(*pictavo::FindFormat(info.format), info.LevelWidth(options.level),
                              info.LevelHeight(options.level),
                              texture.Image(options.level, options.face), image)) {
        return "its pixels cannot be decoded";
    }
    std::vector<std::uint8_t> encoded;
    const bool png = options.target == Target::kPng;
    if (!(png ? pictavo::EncodePng(image, encoded) : pictavo::EncodeTga(image, encoded))) {
        return std::string("it cannot be encoded as ") + (png ? "PNG" : "TGA");
    }
    const TextureError written = pictavo::WriteFileReplacing(output, encoded);
    return written == TextureError::kNone ? std::string() : pictavo::ErrorText(written);
}

// Converts one file; returns the failure to print, or an empty string.
std::string Convert(const std::string& path, const Options& options, std::string& output) {
    pictavo::Texture texture;
    const TextureError read = pictavo::ReadTexture(path, texture);
    if (read != TextureError::kNone) {
        return pictavo::ErrorText(read);
    }
    Target target = options.target;
    if (target == Target::kDefault) {
        target = texture.info.container == pictavo::Container::kIwi ? Target::kDds : Target::kIwi;
    }
    output = OutputPath(path, target);
    std::error_code ignored;
    if (output == path || std::filesystem::equivalent(output, path, ignored)) {
        return "the output would replace the file itself";
    }
    if (target == Target::kPng || target == Target::kTga) {
        Options picture = options;
        picture.target = target;
        return WritePicture(texture, picture, output);
    }
    const TextureError written = target == Target::kDds ? pictavo::WriteDds(texture, output)
                                                        : pictavo::WriteIwi(texture, 6, output);
    return written == TextureError::kNone ? std::string() : pictavo::ErrorText(written);
}

bool ProcessFile(const std::string& path, const Options& options, std::ostream& out) {
    if (options.infoOnly) {
        pictavo::TextureInfo info;
        const TextureError read = pictavo::ReadTextureInfo(path, info);
        out << path << ": "
            << (read == TextureError::kNone ? Describe(info) : pictavo::ErrorText(read)) << '\n';
        return read == TextureError::kNone;
    }
    std::string output;
    const std::string failure = Convert(path, options, output);
    if (!failure.empty()) {
        out << path << ": " << failure << '\n';
        return false;
    }
    out << path << ": wrote " << output << '\n';
    return true;
}

} // namespace

int RunConvertCommand(const std::vector<std::string>& arguments, std::ostream& out,
                      std::ostream& err) {
    Options options;
    bool optionsEnded = false;
    const auto badUsage = [&](const std::string& what) {
        err << "pictavo-convert: " << what << '\n' << kUsage;
        return kConvertBadUsage;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool takesValue = argument == "--to" || argument == "--level" || argument == "--face";
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            options.files.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help") {
            out << kUsage;
            return kConvertAllSucceeded;
        } else if (argument == "--version") {
            out << "pictavo-convert 1.3.3\n";
            return kConvertAllSucceeded;
        } else if (argument == "--info") {
            options.infoOnly = true;
        } else if (takesValue && i + 1 == arguments.size()) {
            return badUsage(argument + " needs a value");
        } else if (argument == "--to") {
            const std::optional<Target> target = ParseTarget(arguments[++i]);
            if (!target) {
                return badUsage("--to takes dds, iwi, png or tga");
            }
            options.target = *target;
        } else if (takesValue) {
            const std::optional<std::uint32_t> number = ParseNumber(arguments[++i]);
            if (!number) {
                return badUsage(argument + " takes a number");
            }
            (argument == "--level" ? options.level : options.face) = *number;
        } else {
            return badUsage("unknown option " + argument);
        }
    }
    if (options.files.empty()) {
        return badUsage("no file given");
    }
    bool allSucceeded = true;
    for (const std::string& file : options.files) {
        allSucceeded = ProcessFile(file, options, out) && allSucceeded;
    }
    return allSucceeded ? kConvertAllSucceeded : kConvertSomeFailed;
}
