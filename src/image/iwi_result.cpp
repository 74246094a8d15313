#include "image/iwi_result.h"

using pictavo::TextureError;

int ResultFor(TextureError error) {
    switch (error) {
    case TextureError::kNone:
        return IWI_OK;
    case TextureError::kPermission:
        return IWI_ERR_PERMISSION;
    case TextureError::kNotATexture:
        return IWI_ERR_MAGIC;
    case TextureError::kIwiVersion:
        return IWI_ERR_VERSION;
    case TextureError::kUnknownFormat:
        return IWI_ERR_IMAGE_FORMAT;
    case TextureError::kVariableFormat:
        return IWI_ERR_VARIABLE_FORMAT;
    case TextureError::kTruncated:
        return IWI_ERR_TRUNCATED;
    case TextureError::kBadSize:
        return IWI_ERR_BAD_SIZE;
    case TextureError::kNoLayout:
        return IWI_ERR_LAYOUT;
    case TextureError::kDdsHeader:
        return IWI_ERR_DDS_HEADER;
    case TextureError::kDdsFormat:
        return IWI_ERR_FORMAT;
    case TextureError::kDdsVolume:
        return IWI_ERR_DDS_VOLUME;
    case TextureError::kNotWritable:
        return IWI_ERR_LEVELS;
    case TextureError::kNoIwiFormat:
        return IWI_ERR_NO_IWI_FORMAT;
    case TextureError::kExists:
        return IWI_ERR_EXISTS;
    case TextureError::kOpen:
    case TextureError::kNoLevel:
    case TextureError::kTooLarge:
    case TextureError::kNotAPicture:
    case TextureError::kPictureDamaged:
    case TextureError::kPictureKind:
    case TextureError::kNotAnArchive:
    case TextureError::kArchiveDamaged:
    case TextureError::kNoEntry:
    case TextureError::kEntryRefused:
        break;
    }
    return IWI_ERR_OPEN;
}

std::optional<TextureError> ReasonExplaining(int code) {
    for (const TextureError reason :
         {TextureError::kUnknownFormat, TextureError::kTruncated, TextureError::kBadSize,
          TextureError::kVariableFormat, TextureError::kNoLayout, TextureError::kDdsVolume,
          TextureError::kNoIwiFormat}) {
        if (ResultFor(reason) == code) {
            return reason;
        }
    }
    return std::nullopt;
}
