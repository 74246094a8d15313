#include "image/iwi.h"
#include "texture/byte_source.h"
#include "texture/level_flip.h"
#include "texture/texture_reader.h"

#include <utility>

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
        return ReadFailed(container == pictavo::Container::kIwi
                              ? pictavo::TextureError::kNotATexture
                              : pictavo::TextureError::kDdsHeader);
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
