#include "imagelist/image_info_text.h"

#include <cstdio>

namespace pictavo {
namespace {

std::string Dimensions(std::uint32_t width, std::uint32_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

} // namespace

std::string ByteSizeText(std::uint64_t bytes) {
    static const char* const kUnits[] = {"B", "KiB", "MiB", "GiB"};
    double value = static_cast<double>(bytes);
    std::size_t unit = 0;
    while (value >= 1024.0 && unit + 1 < std::size(kUnits)) {
        value /= 1024.0;
        ++unit;
    }
    char text[32];
    // Whole numbers without a decimal: "4 MiB", not "4.0 MiB".
    const bool whole = value == static_cast<double>(static_cast<std::uint64_t>(value));
    std::snprintf(text, sizeof text, whole ? "%.0f %s" : "%.1f %s", value, kUnits[unit]);
    return text;
}

std::string ImageInfoText(const TextureInfo& info, const ImageLocation& where) {
    std::string text = "Container: " + info.ContainerText() + "\n";
    text += "Format: " + info.FormatText() + "\n";
    if (const std::string warning = info.WarningText(); !warning.empty()) {
        text += "Warning: " + warning + "\n";
    }
    if (info.container == Container::kIwi) {
        text += (info.HasUsageByte() ? "Usage: " : "Flags: ") + info.UsageText() + "\n";
    }
    text += "Size: " + Dimensions(info.width, info.height) + "\n";
    text += "Levels: " + std::to_string(info.levels) + "\n";
    for (std::uint32_t level = 0; level < info.levels; ++level) {
        text += "  " + std::to_string(level) + ": " +
                Dimensions(info.LevelWidth(level), info.LevelHeight(level)) + " (" +
                ByteSizeText(info.LevelBytes(level)) + ")\n";
    }
    text += "Faces: " + std::to_string(info.faces) + (info.faces == 6 ? " (cube map)" : "") + "\n";
    text += "Layout: " + info.LayoutText() + "\n";
    text += "File size: " + ByteSizeText(info.fileSize) + " (" + std::to_string(info.fileSize) +
            " bytes)\n";
    if (where.InArchive()) {
        text += "Archive: " + where.archivePath + "\n";
        text += "Entry: " + where.entryName + "\n";
    } else {
        text += "File: " + where.filePath + "\n";
    }
    return text;
}

} // namespace pictavo
