#include "gl_api.h"
#include "iwi.h"

#include <algorithm>

namespace {

struct UploadFormat {
    int code;
    gl::Enum internalFormat;
    bool compressed;
    gl::Enum pixelFormat; // uncompressed uploads only
};

constexpr UploadFormat kUploadFormats[] = {
    {IWI_FMT_RGBA8, gl::kRGBA8, false, gl::kRGBA}, {IWI_FMT_RGB, gl::kRGB8, false, gl::kRGB},
    {IWI_FMT_DXT1, gl::kCompressedDXT1, true, 0},  {IWI_FMT_DXT3, gl::kCompressedDXT3, true, 0},
    {IWI_FMT_DXT5, gl::kCompressedDXT5, true, 0},
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

int IWI::LoadToOpenGL() {
    ClearDefaultImageShown();
    const UploadFormat* format = FindUploadFormat(IWIHeader.format);
    if (format == nullptr || !gl::Api().Complete()) {
        return IWI_ERR_GL_FORMAT;
    }
    const bool normalMap = targetSlot == TEXTURE_SLOT_NORMAL;
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

    const std::size_t count =
        std::min(levels.size(), static_cast<std::size_t>(std::max<std::int16_t>(levelCount, 0)));
    gl::SizeI w = width;
    gl::SizeI h = height;
    for (std::size_t i = 0; i < count; ++i) {
        w = std::max(w, 1);
        h = std::max(h, 1);
        UploadLevel(*format, static_cast<int>(i), w, h, levels[i]);
        w = (w + 1) >> 1;
        h = (h + 1) >> 1;
    }

    if (normalMap) {
        if (!levels.empty()) {
            LevelBuffer inverted = levels.front();
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
