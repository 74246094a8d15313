#include "image/iwi.h"

#include "image/file_path.h"
#include "image/gl_api.h"
#include "texture/texture_error.h"
#include "texture/utf8_path.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

IWI::~IWI() {
    Unload();
    // Without a filled table no texture was ever made (the converter, tests).
    if (gl::Api().DeleteTextures != nullptr) {
        for (const std::uint32_t texture : {colorTexture, normalTexture, invertedNormalTexture}) {
            gl::Api().DeleteTextures(1, &texture);
        }
    }
}

int IWI::SetFile(const std::string& path) {
    const std::size_t separator = pictavo::LastSeparator(path);
    if (separator == std::string::npos) {
        return IWI_ERR_NO_SEPARATOR;
    }
    if (!FileExists(path)) {
        return IWI_ERR_NOT_FOUND;
    }
    fileSet = true;
    fileName = path.substr(separator + 1);
    filePath = path;
    return IWI_OK;
}

int IWI::GetFileType() {
    if (!fileSet) {
        return IWI_ERR_NO_FILE;
    }
    extension = GetExtension(fileName);
    if (extension == "iwi") {
        return IWI_TYPE_IWI;
    }
    if (extension == "dds") {
        isDDS = true;
        return IWI_TYPE_DDS;
    }
    return IWI_TYPE_NONE;
}

int IWI::LoadFile() {
    if (loaded) {
        return IWI_ERR_ALREADY_LOADED;
    }
    return isDDS ? ReadDDS() : ReadIWI();
}

void IWI::Unload() {
    readError = pictavo::TextureError::kNone;
    readErrorText.clear();
    if (!loaded) {
        return;
    }
    levels.clear();
    textureInfo = {};
    fileSet = false;
    isDDS = false;
    loaded = false;
    fileName.clear();
    filePath.clear();
    extension.clear();
}

std::string IWI::GetErrorString(int code) {
    switch (code) {
    case IWI_ERR_UNKNOWN:
        return "Unknown Error";
    case IWI_ERR_PERMISSION:
        return "File Handel failed due to permissions, please run program as admin";
    case IWI_ERR_DDS_UNKNOWN:
        return "Unknown DDS Error";
    case IWI_ERR_FORMAT:
        return "Format Error";
    case IWI_ERR_COMP_SIZE:
        return "COMP size error";
    default: {
        const std::optional<pictavo::TextureError> reason = ReasonExplaining(code);
        return reason ? pictavo::ErrorText(*reason) : "Unknown Error_?";
    }
    }
}

std::string IWI::GetFormatName() const {
    switch (IWIHeader.format) {
    case IWI_FMT_RGBA8:
        return "RGBA8";
    case IWI_FMT_RGB:
        return "RGB";
    case IWI_FMT_LA8:
        return "LA8";
    case IWI_FMT_A8:
        return "A8";
    case IWI_FMT_DXT1:
        return "DTX1";
    case IWI_FMT_DXT3:
        return "DTX3";
    case IWI_FMT_DXT5:
        return "DTX5";
    default:
        // The block formats only DDS files hold go by the texture library's names.
        const FormatInfo* info = FindFormatInfo(IWIHeader.format);
        return info != nullptr ? info->name : "Format Not Supported";
    }
}

std::string IWI::GetSizeText() const {
    const unsigned long long size = levels.empty() ? 0 : levels.front().size();
    char text[32];
    std::snprintf(text, sizeof text, "0x%.8llx", size);
    return text;
}

std::string IWI::GetExtension(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

bool IWI::FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(pictavo::PathOf(path), error) && !error;
}
