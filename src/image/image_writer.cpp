#include "image/file_path.h"
#include "image/iwi.h"
#include "texture/texture_writer.h"

std::string IWI::ConvertedPath(const std::string& path) const {
    const std::size_t dot = path.rfind('.');
    const std::size_t separator = pictavo::LastSeparator(path);
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) {
        return std::string();
    }
    return path.substr(0, dot + 1) + (isDDS ? "iwi" : "dds");
}

std::string IWI::GetOutputName() const {
    return ConvertedPath(filePath);
}

std::string IWI::GetOutputNameIn(const std::string& folder) const {
    return ConvertedPath(folder + pictavo::kPathSeparator + fileName);
}

int IWI::WriteConvertedFile() {
    return WriteConvertedFileTo(GetOutputName(), pictavo::IfExists::kReplace);
}

int IWI::WriteConvertedFileTo(const std::string& output, pictavo::IfExists ifExists) {
    writeErrorText.clear();
    if (!loaded) {
        return IWI_ERR_NOT_LOADED;
    }
    return isDDS ? WriteIWITo(output, ifExists) : WriteDDSTo(output, ifExists);
}

pictavo::TextureInfo IWI::HeldTextureInfo() const {
    pictavo::TextureInfo info;
    info.format = IWIHeader.format;
    info.usage = IWIHeader.usage;
    info.width = static_cast<std::uint16_t>(width);
    info.height = static_cast<std::uint16_t>(height);
    info.levels = levelCount > 0 ? static_cast<std::uint32_t>(levelCount) : 0;
    info.faces = faceCount > 1 ? static_cast<std::uint32_t>(faceCount) : 1;
    return info;
}

int IWI::WriteDDS() {
    return WriteDDSTo(GetOutputName(), pictavo::IfExists::kReplace);
}

int IWI::WriteDDSTo(const std::string& output, pictavo::IfExists ifExists) {
    if (IWIHeader.format == IWI_FMT_RGBA8 || IWIHeader.format == IWI_FMT_RGB) {
        levelCount = 1; // a DDS of these formats carries level 0 only
    }
    const pictavo::TextureInfo info = HeldTextureInfo();
    const std::size_t written = static_cast<std::size_t>(info.levels) * info.faces;
    if (levelCount < 1 || levels.size() < written) {
        return IWI_ERR_LEVELS;
    }
    DDSHeader = pictavo::DdsHeader(info);
    return Written(pictavo::WriteDds(info, std::span(levels.data(), written), output, ifExists));
}

int IWI::WriteIWI() {
    return WriteIWITo(GetOutputName(), pictavo::IfExists::kReplace);
}

int IWI::WriteIWITo(const std::string& output, pictavo::IfExists ifExists) {
    // A file without levels could not be read back.
    const pictavo::TextureInfo info = HeldTextureInfo();
    if (levelCount < 1 || levels.size() < static_cast<std::size_t>(levelCount) * info.faces) {
        return IWI_ERR_LEVELS;
    }
    return Written(pictavo::WriteIwi(info, levels, 6, output, ifExists));
}

int IWI::Written(pictavo::TextureError error) {
    writeErrorText =
        error == pictavo::TextureError::kNone ? std::string() : pictavo::ErrorText(error);
    return ResultFor(error);
}
