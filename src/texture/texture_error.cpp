#include "texture/texture_error.h"

namespace pictavo {

const char* ErrorText(TextureError error) {
    switch (error) {
    case TextureError::kNone:
        return "No error";
    case TextureError::kOpen:
        return "The file cannot be opened, read or written";
    case TextureError::kPermission:
        return "Permission denied";
    case TextureError::kNotATexture:
        return "Not an IWI or DDS file";
    case TextureError::kIwiVersion:
        return "Unknown IWI version (5, 6, 8, 9, 13 and 27 are known)";
    case TextureError::kUnknownFormat:
        return "Unknown image format";
    case TextureError::kVariableFormat:
        return "IWI format 7 stores levels of variable, compressed size, which cannot be read";
    case TextureError::kTruncated:
        return "The file is shorter than its header says";
    case TextureError::kBadSize:
        return "The image's size or level count is not valid";
    case TextureError::kNoLayout:
        return "The file's size fits no known IWI level layout";
    case TextureError::kDdsHeader:
        return "Not a valid DDS header";
    case TextureError::kDdsFormat:
        return "Unsupported DDS pixel format";
    case TextureError::kDdsVolume:
        return "The DDS file is a volume texture (3D), which cannot be shown or converted";
    case TextureError::kNotWritable:
        return "This texture cannot be written in that format";
    case TextureError::kNoIwiFormat:
        return "No IWI format holds BC4, BC5 or BC7 textures (they can be written as PNG, TGA or "
               "DDS)";
    case TextureError::kExists:
        return "A file of that name exists already";
    case TextureError::kNoLevel:
        return "The texture has no such level or face";
    case TextureError::kTooLarge:
        return "The file is too large to be read";
    case TextureError::kNotAPicture:
        return "Not a PNG, TGA, JPEG, BMP or PSD file";
    case TextureError::kPictureDamaged:
        return "The picture's data is damaged";
    case TextureError::kPictureKind:
        return "This kind of picture is not read";
    case TextureError::kNotAnArchive:
        return "Not a zip archive";
    case TextureError::kArchiveDamaged:
        return "The archive's data is damaged";
    case TextureError::kNoEntry:
        return "The archive holds no such entry";
    case TextureError::kEntryRefused:
        return "The archive's entry cannot be read";
    }
    return "Unknown error";
}

} // namespace pictavo
