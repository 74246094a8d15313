#include "image/gl_api.h"
#include "image/iwi.h"
#include "texture/decode.h"
#include "texture/level_flip.h"

#include <algorithm>

namespace {

struct UploadFormat {
    int code;
    gl::Enum internalFormat;
    bool compressed;
    gl::Enum pixelFormat; // uncompressed uploads only
    // The blocks of BC4, BC5 and BC7 have no format in the OpenGL the view asks for: their
    // levels go up decoded, as RGBA.
    bool decoded = false;
};

constexpr UploadFormat kUploadFormats[] = {
    {IWI_FMT_RGBA8, gl::kRGBA8, false, gl::kRGBA},
    {IWI_FMT_RGB, gl::kRGB8, false, gl::kRGB},
    {IWI_FMT_LA8, gl::kLuminance8Alpha8, false, gl::kLuminanceAlpha},
    {IWI_FMT_A8, gl::kAlpha8, false, gl::kAlpha},
    {IWI_FMT_DXT1, gl::kCompressedDXT1, true, 0},
    {IWI_FMT_DXT3, gl::kCompressedDXT3, true, 0},
    {IWI_FMT_DXT5, gl::kCompressedDXT5, true, 0},
    {pictavo::kFormatBc4, gl::kRGBA8, false, gl::kRGBA, true},
    {pictavo::kFormatBc4Signed, gl::kRGBA8, false, gl::kRGBA, true},
    {pictavo::kFormatBc5, gl::kRGBA8, false, gl::kRGBA, true},
    {pictavo::kFormatBc5Signed, gl::kRGBA8, false, gl::kRGBA, true},
    {pictavo::kFormatBc7, gl::kRGBA8, false, gl::kRGBA, true},
};

const UploadFormat* FindUploadFormat(int code) {
    for (const UploadFormat& format : kUploadFormats) {
        if (format.code == code) {
            return &format;
        }
    }
    return nullptr;
}

constexpr float kNormalMapScale = 0.8f;

void SetPixelTransferScale(float scale) {
    gl::Api().PixelTransferf(gl::kRedScale, scale);
    gl::Api().PixelTransferf(gl::kGreenScale, scale);
    gl::Api().PixelTransferf(gl::kBlueScale, scale);
}

// Deletes the slot's old texture and binds a fresh one with the given filter.
void ReplaceTexture(std::uint32_t& texture, gl::Enum filter) {
    gl::Api().DeleteTextures(1, &texture);
    gl::Api().GenTextures(1, &texture);
    gl::Api().BindTexture(gl::kTexture2D, texture);
    gl::Api().TexParameteri(gl::kTexture2D, gl::kTextureMinFilter, static_cast<gl::Int>(filter));
    gl::Api().TexParameteri(gl::kTexture2D, gl::kTextureMagFilter, static_cast<gl::Int>(filter));
}

void UploadLevel(const UploadFormat& format, int level, gl::SizeI width, gl::SizeI height,
                 const LevelBuffer& data) {
    if (format.compressed) {
        gl::Api().CompressedTexImage2DARB(gl::kTexture2D, level, format.internalFormat, width,
                                          height, 0, static_cast<gl::SizeI>(data.size()),
                                          data.data());
    } else {
        gl::Api().TexImage2D(gl::kTexture2D, level, static_cast<gl::Int>(format.internalFormat),
                             width, height, 0, format.pixelFormat, gl::kUnsignedByte, data.data());
    }
}

} // namespace

const LevelBuffer& IWI::Prepared(std::size_t index, std::uint32_t levelWidth,
                                 std::uint32_t levelHeight, LevelBuffer& scratch) const {
    const FormatInfo* info = FindFormatInfo(IWIHeader.format);
    const UploadFormat* upload = FindUploadFormat(IWIHeader.format);
    if (info != nullptr && upload != nullptr && upload->decoded) {
        // A level too short to decode goes up blank rather than read past its end.
        pictavo::RgbaImage rgba;
        if (!pictavo::DecodeLevel(*info, levelWidth, levelHeight, levels[index], rgba)) {
            rgba.pixels.assign(std::size_t{levelWidth} * levelHeight * 4, 0);
        }
        scratch = std::move(rgba.pixels);
        pictavo::FlipLevelVertically(*FindFormatInfo(IWI_FMT_RGBA8), levelWidth, levelHeight,
                                     scratch.data(), scratch.size());
        return scratch;
    }
    // Levels read from a file, IWI or DDS, are prepared; levels put here ready to upload go
    // up as they are.
    if (!(keepsStoredLevels || isDDS) || info == nullptr) {
        return levels[index];
    }
    scratch = levels[index];
    PrepareLevel(levelWidth, levelHeight, scratch.size(), *info, scratch);
    return scratch;
}

int IWI::LoadToOpenGL() {
    ClearDefaultImageShown();
    const UploadFormat* format = FindUploadFormat(IWIHeader.format);
    if (format == nullptr || !gl::Api().Complete()) {
        return IWI_ERR_GL_FORMAT;
    }
    const bool normalMap = targetSlot == TEXTURE_SLOT_NORMAL;
    LevelBuffer normalLevel0;
    if (normalMap) {
        SetPixelTransferScale(kNormalMapScale);
        ReplaceTexture(normalTexture, gl::kNearest);
    } else {
        ReplaceTexture(colorTexture, gl::kLinear);
    }
    // Rows of uncompressed levels are packed; the default alignment of 4 would read past
    // the end of an RGB row whose length is not a multiple of 4.
    if (!format->compressed) {
        gl::Api().PixelStorei(gl::kUnpackAlignment, 1);
    }

    // Each face's levels follow the one before: the chosen face's chain starts past them.
    const std::size_t perFace = static_cast<std::size_t>(std::max<std::int16_t>(levelCount, 0));
    const std::size_t face = uploadFace > 0 && uploadFace < faceCount ? std::size_t(uploadFace) : 0;
    const std::size_t first = std::min(levels.size(), face * perFace);
    const std::size_t count = std::min(levels.size() - first, perFace);
    const std::uint32_t side0 = static_cast<std::uint32_t>(std::max<gl::SizeI>(width, 1));
    const std::uint32_t side1 = static_cast<std::uint32_t>(std::max<gl::SizeI>(height, 1));
    LevelBuffer prepared;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t w = pictavo::LevelSide(side0, static_cast<std::uint32_t>(i));
        const std::uint32_t h = pictavo::LevelSide(side1, static_cast<std::uint32_t>(i));
        const LevelBuffer& level = Prepared(first + i, w, h, prepared);
        UploadLevel(*format, static_cast<int>(i), static_cast<gl::SizeI>(w),
                    static_cast<gl::SizeI>(h), level);
        if (i == 0 && normalMap) {
            normalLevel0 = level;
        }
    }

    if (normalMap) {
        if (!levels.empty()) {
            LevelBuffer inverted = std::move(normalLevel0);
            for (std::uint8_t& byte : inverted) {
                byte = static_cast<std::uint8_t>(255 - byte);
            }
            gl::Api().TexParameteri(gl::kTexture2D, gl::kTextureWrapS, gl::kClamp);
            gl::Api().TexParameteri(gl::kTexture2D, gl::kTextureWrapT, gl::kClamp);
            const gl::Float grey[4] = {0.5f, 0.5f, 0.5f, 1.0f};
            gl::Api().TexParameterfv(gl::kTexture2D, gl::kTextureBorderColor, grey);
            ReplaceTexture(invertedNormalTexture, gl::kNearest);
            UploadLevel(*format, 0, std::max<gl::SizeI>(width, 1), std::max<gl::SizeI>(height, 1),
                        inverted);
        }
        SetPixelTransferScale(1.0f);
    }
    if (!format->compressed) {
        gl::Api().PixelStorei(gl::kUnpackAlignment, 4);
    }
    return IWI_OK;
}
