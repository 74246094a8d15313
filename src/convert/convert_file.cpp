#include "convert/convert_file.h"

#include "convert/file_walk.h"
#include "texture/byte_source.h"
#include "texture/decode.h"
#include "texture/encode.h"
#include "texture/image_decode.h"
#include "texture/image_encode.h"
#include "texture/texture_reader.h"
#include "texture/texture_writer.h"
#include "texture/utf8_path.h"

namespace fs = std::filesystem;
using pictavo::TextureError;

namespace {

// What an IWI source becomes by default, and what anything else does.
struct TargetExtension {
    Target target;
    const char* extension;
};

// Each target's extension; IWI, the last, is what any other name stands for.
constexpr TargetExtension kTargetExtensions[] = {
    {Target::kDds, ".dds"}, {Target::kPng, ".png"}, {Target::kTga, ".tga"}, {Target::kIwi, ".iwi"}};

// The target a planned output's name stands for.
Target TargetFor(const std::string& output) {
    const std::string extension = LowerExtension(output);
    for (const TargetExtension& known : kTargetExtensions) {
        if (extension == known.extension) {
            return known.target;
        }
    }
    return Target::kIwi;
}

TextureError ReadWhole(pictavo::ByteSource& source, pictavo::Bytes& bytes) {
    bytes.resize(source.Size());
    return source.ReadAt(0, bytes.data(), bytes.size()) == bytes.size() ? TextureError::kNone
                                                                        : TextureError::kOpen;
}

// What a conversion came to: `failure` says why nothing was written, `kept` that a file of
// the output's name arrived meanwhile and was left as it was.
struct Written {
    std::string failure;
    bool kept = false;
    std::string warning{}; // what is wrong with the source
};

Written Outcome(TextureError error) {
    if (error == TextureError::kExists) {
        return {{}, true};
    }
    return {error == TextureError::kNone ? std::string() : pictavo::ErrorText(error)};
}

// Without -y a file there is kept, decided as the output is put in place: a file that arrives
// after the look before reading is no more replaced than one that was there.
pictavo::IfExists IfExistsFor(const ConvertSettings& settings) {
    return settings.overwrite ? pictavo::IfExists::kReplace : pictavo::IfExists::kKeep;
}

// TGAs go to the file a band of rows at a time.
Written TgaFile(std::uint32_t width, std::uint32_t height, bool opaque,
                const pictavo::TgaRows& rows, const ConvertSettings& settings,
                const std::string& output) {
    const TextureError error =
        pictavo::WriteTga(width, height, opaque, rows, output, IfExistsFor(settings));
    return error == TextureError::kBadSize     ? Written{"it cannot be encoded as TGA"}
           : error == TextureError::kTruncated ? Written{"its pixels cannot be decoded"}
                                               : Outcome(error);
}

Written WritePicture(const pictavo::RgbaImage& image, Target target,
                     const ConvertSettings& settings, const std::string& output) {
    if (target == Target::kTga) {
        const std::size_t rowBytes = std::size_t{image.width} * 4;
        return TgaFile(
            image.width, image.height, pictavo::IsOpaque(image),
            [&image, rowBytes](std::uint32_t first, std::uint32_t, std::uint8_t*) {
                return image.pixels.data() + first * rowBytes;
            },
            settings, output);
    }
    std::vector<std::uint8_t> encoded;
    if (!pictavo::EncodePng(image, encoded)) {
        return {"it cannot be encoded as PNG"};
    }
    return Outcome(pictavo::WriteFileReplacing(output, encoded, IfExistsFor(settings)));
}

Written WriteTexture(const pictavo::Texture& texture, Target target,
                     const ConvertSettings& settings, const std::string& output) {
    return Outcome(
        target == Target::kDds
            ? pictavo::WriteDds(texture, output, IfExistsFor(settings))
            : pictavo::WriteIwi(texture, settings.iwiVersion, output, IfExistsFor(settings)));
}

Written FromTexture(const pictavo::Texture& texture, Target target, const ConvertSettings& settings,
                    const std::string& output) {
    if (target == Target::kDds || target == Target::kIwi) {
        return WriteTexture(texture, target, settings, output);
    }
    const pictavo::TextureInfo& info = texture.info;
    if (settings.level >= info.levels) {
        return {"there is no level " + std::to_string(settings.level) + " (it has " +
                std::to_string(info.levels) + ")"};
    }
    if (settings.face >= info.faces) {
        return {"there is no face " + std::to_string(settings.face) + " (it has " +
                std::to_string(info.faces) + ")"};
    }
    const pictavo::FormatInfo* format = pictavo::FindFormat(info.format);
    if (target == Target::kTga && format != nullptr && pictavo::AlwaysOpaque(*format) &&
        texture.images.size() == std::size_t{info.levels} * info.faces) {
        // A TGA without alpha needs no look at the pixels first: they are decoded a band at
        // a time straight into the file.
        const std::uint32_t width = info.LevelWidth(settings.level);
        const std::uint32_t height = info.LevelHeight(settings.level);
        const pictavo::Bytes& stored = texture.Image(settings.level, settings.face);
        return TgaFile(
            width, height, true,
            [&](std::uint32_t first, std::uint32_t count, std::uint8_t* band) {
                return pictavo::DecodeLevelRows(*format, width, height, stored, first, count, band)
                           ? band
                           : nullptr;
            },
            settings, output);
    }
    pictavo::RgbaImage image;
    if (!pictavo::DecodeImage(texture, settings.level, settings.face, image)) {
        return {"its pixels cannot be decoded"};
    }
    return WritePicture(image, target, settings, output);
}

Written FromPicture(const pictavo::RgbaImage& image, Target target, const ConvertSettings& settings,
                    const std::string& output) {
    if (target == Target::kPng || target == Target::kTga) {
        return settings.level == 0 && settings.face == 0
                   ? WritePicture(image, target, settings, output)
                   : Written{"a picture has only level 0 of face 0"};
    }
    pictavo::EncodeSettings encode = settings.encode;
    encode.format = settings.format.value_or(pictavo::AutoFormat(image));
    pictavo::Texture texture;
    if (!pictavo::EncodeTexture(image, encode, texture)) {
        return {"its pixels cannot be encoded"};
    }
    return WriteTexture(texture, target, settings, output);
}

// Converts an open source. Textures are read level by level straight from a file; only
// pictures are read whole.
Written ConvertSource(pictavo::ByteSource& source, const ConvertSettings& settings,
                      const std::string& output) {
    pictavo::Texture texture;
    const TextureError read = pictavo::ReadTexture(source, texture, settings.read);
    if (read == TextureError::kNone) {
        Written written = FromTexture(texture, TargetFor(output), settings, output);
        written.warning = texture.info.WarningText();
        return written;
    }
    if (read != TextureError::kNotATexture) {
        return {pictavo::FailureText(read, texture.info)};
    }
    pictavo::Bytes bytes;
    const TextureError whole = ReadWhole(source, bytes);
    if (whole != TextureError::kNone) {
        return {pictavo::ErrorText(whole)};
    }
    if (!pictavo::IsPicture(bytes)) {
        return {"Not an IWI, DDS, PNG, TGA, JPEG, BMP or PSD file"};
    }
    pictavo::RgbaImage image;
    if (const pictavo::Status decoded = pictavo::DecodePicture(bytes, image); !decoded) {
        return {decoded.error().text};
    }
    return FromPicture(image, TargetFor(output), settings, output);
}

std::string Exists(const PlannedFile& file) {
    return file.output + " exists";
}

const std::string& WrittenAt(const PlannedFile& file) {
    return file.writeTo.empty() ? file.output : file.writeTo;
}

// Why the output cannot be written where it should go, or an empty string.
std::string PrepareOutput(const PlannedFile& file, const ConvertSettings& settings,
                          FileOutcome::Status& status) {
    std::error_code error;
    if (!file.refusal.empty()) {
        return file.refusal;
    }
    // A file there already is skipped without reading the source; the write keeps one that
    // arrives later.
    const fs::path output = pictavo::PathOf(WrittenAt(file));
    if (file.exists || fs::exists(output, error)) {
        if (!settings.overwrite) {
            status = FileOutcome::Status::kSkipped;
            return Exists(file);
        }
        if (fs::equivalent(output, pictavo::PathOf(file.source), error)) {
            return "the output would replace the file itself";
        }
    }
    const fs::path folder = output.parent_path();
    // Asked first, since nearly every file's folder exists already: one look, not two. Another
    // job may make the same folder at the same moment.
    if (!folder.empty() && !fs::is_directory(folder, error) &&
        !fs::create_directories(folder, error) && !fs::is_directory(folder, error)) {
        return "the folder " + pictavo::PathText(folder) + " cannot be made";
    }
    return {};
}

} // namespace

const char* OutputExtension(Target target, const fs::path& source) {
    // Planning by name spares opening thousands of files twice; the conversion writes what
    // the planned name says whatever the source holds.
    if (target == Target::kDefault) {
        target = LowerExtension(source) == ".iwi" ? Target::kDds : Target::kIwi;
    }
    for (const TargetExtension& known : kTargetExtensions) {
        if (known.target == target) {
            return known.extension;
        }
    }
    return ".iwi";
}

FileOutcome ConvertFile(const PlannedFile& file, const ConvertSettings& settings,
                        const SourceReader& read) {
    FileOutcome outcome{FileOutcome::Status::kFailed, file.source, file.output, {}, 0};
    outcome.message = PrepareOutput(file, settings, outcome.status);
    if (!outcome.message.empty()) {
        return outcome;
    }
    Written written;
    if (read) {
        pictavo::Bytes bytes;
        if (const pictavo::Status got = read(bytes); !got) {
            outcome.message = got.error().text;
            return outcome;
        }
        outcome.bytes = bytes.size();
        pictavo::SpanSource source(bytes);
        written = ConvertSource(source, settings, WrittenAt(file));
    } else {
        pictavo::FileSource source;
        const TextureError opened = source.Open(file.source);
        outcome.bytes = source.Size();
        written = opened == TextureError::kNone ? ConvertSource(source, settings, WrittenAt(file))
                                                : Written{pictavo::ErrorText(opened)};
    }
    if (written.kept) {
        outcome.status = FileOutcome::Status::kSkipped;
        outcome.message = Exists(file);
    } else if (written.failure.empty()) {
        outcome.status = FileOutcome::Status::kConverted;
        outcome.warning = std::move(written.warning);
    } else {
        outcome.message = std::move(written.failure);
    }
    return outcome;
}

pictavo::Result<std::string> DescribeFile(const std::string& path) {
    pictavo::TextureInfo info;
    const TextureError read = pictavo::ReadTextureInfo(path, info);
    if (read != TextureError::kNone) {
        return pictavo::Failure(read, pictavo::FailureText(read, info));
    }
    const std::string warning = info.WarningText();
    const std::string usage = info.container != pictavo::Container::kIwi ? std::string()
                              : info.HasUsageByte() ? "usage " + info.UsageText() + ", "
                                                    : "flags " + info.UsageText() + ", ";
    return info.ContainerText() + ", " + info.FormatText() + ", " + std::to_string(info.width) +
           " x " + std::to_string(info.height) + ", " + std::to_string(info.levels) +
           (info.levels == 1 ? " level" : " levels") + ", " + std::to_string(info.faces) +
           (info.faces == 1 ? " face" : " faces") + ", " + usage + info.LayoutText() +
           (warning.empty() ? "" : ". " + warning);
}
