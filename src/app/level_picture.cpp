#include "app/level_picture.h"

#include "platform/directory_scan.h"
#include "texture/decode.h"
#include "texture/image_encode.h"
#include "texture/output_file.h"
#include "texture/texture_error.h"

namespace pictavo {

PictureType PictureTypeOf(const std::string& path) {
    if (HasExtensionNoCase(path, ".png"))
        return PictureType::kPng;
    if (HasExtensionNoCase(path, ".tga"))
        return PictureType::kTga;
    return PictureType::kNone;
}

std::string WithPictureExtension(const std::string& path, PictureType type) {
    if (PictureTypeOf(path) != PictureType::kNone || type == PictureType::kNone)
        return path;
    return path + (type == PictureType::kPng ? ".png" : ".tga");
}

Status WritePicture(const RgbaImage& picture, PictureType type, const std::string& path) {
    std::vector<std::uint8_t> encoded;
    const bool ok = type == PictureType::kPng
                        ? EncodePng(picture, encoded)
                        : type == PictureType::kTga && EncodeTga(picture, encoded);
    if (!ok)
        return Failure(TextureError::kNotWritable, "The picture could not be encoded");
    OutputFile file;
    TextureError error = file.Open(path);
    if (error == TextureError::kNone) {
        file.Write(encoded.data(), encoded.size());
        error = file.Commit();
    }
    if (error != TextureError::kNone)
        return Failure(error, std::string(ErrorText(error)) + ": " + path);
    return {};
}

Status WriteLevelPicture(const Texture& texture, std::uint32_t level, std::uint32_t face,
                         PictureType type, const std::string& path) {
    const TextureInfo& info = texture.info;
    if (level >= info.levels || face >= info.faces)
        return Failure(TextureError::kNoLevel, "The image has no such level or face");
    RgbaImage picture;
    if (const Status decoded = DecodeImage(texture, level, face, picture); !decoded)
        return Failure(decoded.error().code, "The level could not be decoded");
    return WritePicture(picture, type, path);
}

} // namespace pictavo
