#include "image/iwi.h"
#include "texture/byte_source.h"
#include "texture/level_flip.h"
#include "texture/texture_reader.h"

#include <utility>

namespace {

int ResultFor(pictavo::TextureError error) {
    using pictavo::TextureError;
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
    case TextureError::kOpen:
    case TextureError::kNotWritable:
    case TextureError::kNoIwiFormat:
    case TextureError::kExists:
        break;
    }
    return IWI_ERR_OPEN;
}

} // namespace

int IWI::ReadFailed(pictavo::TextureError error, const pictavo::TextureInfo& info) {
    readError = error;
    readErrorText = pictavo::FailureText(error, info);
    return ResultFor(error);
}

int IWI::ReadIWI() {
    keepsStoredLevels = true;
    return ReadTextureFile(pictavo::Container::kIwi);
}

int IWI::ReadTextureFile(pictavo::Container container) {
    pictavo::FileSource file;
    const pictavo::TextureError opened = file.Open(filePath);
    if (opened != pictavo::TextureError::kNone) {
        return ReadFailed(opened);
    }
    // A file of the other type under this one's extension is refused as not being this type.
    std::uint8_t start[4] = {};
    const std::size_t got = file.ReadAt(0, start, sizeof start);
    if (pictavo::ContainerOf(std::span(start, got)) != container) {
        ReadFailed(pictavo::TextureError::kNotATexture);
        return keepsStoredLevels ? IWI_ERR_MAGIC : IWI_ERR_DDS_HEADER;
    }
    // The image object shows DDS files of the three DXT formats only.
    return ReadSource(file, true);
}

int IWI::LoadBytes(const std::string& name, const std::string& path,
                   std::span<const std::uint8_t> bytes) {
    if (loaded) {
        return IWI_ERR_ALREADY_LOADED;
    }
    const std::optional<pictavo::Container> container = pictavo::ContainerOf(bytes);
    if (!container) {
        return ReadFailed(pictavo::TextureError::kNotATexture);
    }
    isDDS = *container == pictavo::Container::kDds;
    keepsStoredLevels = !isDDS;
    if (isDDS) {
        DDSHeader.fill(0);
    }
    fileSet = true;
    fileName = name;
    filePath = path;
    extension = GetExtension(name);
    pictavo::SpanSource source(bytes);
    return ReadSource(source, false);
}

int IWI::ReadSource(pictavo::ByteSource& source, bool dxtDdsOnly) {
    pictavo::Texture texture;
    const pictavo::TextureError read = pictavo::ReadTexture(source, texture, readOptions);
    if (read != pictavo::TextureError::kNone) {
        return ReadFailed(read, texture.info);
    }
    if (!keepsStoredLevels) {
        const int format = texture.info.format;
        if (dxtDdsOnly && format != IWI_FMT_DXT1 && format != IWI_FMT_DXT3 &&
            format != IWI_FMT_DXT5) {
            return ReadFailed(pictavo::TextureError::kDdsFormat, texture.info);
        }
        source.ReadAt(0, DDSHeader.data(), DDSHeader.size());
    }
    Adopt(std::move(texture));
    return IWI_OK;
}

void IWI::Adopt(pictavo::Texture&& texture) {
    const pictavo::TextureInfo& info = texture.info;
    IWIHeader.version = info.version;
    IWIHeader.format = info.format;
    IWIHeader.usage = info.usage;
    IWIHeader.width = static_cast<std::int16_t>(info.width);
    IWIHeader.height = static_cast<std::int16_t>(info.height);
    IWIHeader.depth = static_cast<std::int16_t>(info.depth);
    width = IWIHeader.width;
    height = IWIHeader.height;
    levelCount = static_cast<std::int16_t>(info.levels);
    faceCount = static_cast<std::int16_t>(info.faces);
    levels = std::move(texture.images);
    textureInfo = info;
    loaded = true;
}

void IWI::PrepareLevel(std::uint32_t levelWidth, std::uint32_t levelHeight, std::uint64_t size,
                       const FormatInfo& info, LevelBuffer& buffer) {
    // Every format: uncompressed images went up upside down when only DXT levels were
    // turned, as did every DDS file.
    pictavo::FlipLevelVertically(info, levelWidth, levelHeight, buffer.data(),
                                 static_cast<std::size_t>(size));
    if (!info.compressed && info.bytesPerBlock >= 3) {
        pictavo::SwapRedAndBlue(buffer.data(), buffer.size(), info.bytesPerBlock);
    }
}
