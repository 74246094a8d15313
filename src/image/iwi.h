#pragma once

#include "dds_header.h"
#include "image_format.h"
#include "iwi_result.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pictavo {
class InputFile;
}

using LevelBuffer = std::vector<std::uint8_t>;

// Which texture the next LoadToOpenGL fills.
enum TextureSlot : std::int32_t {
    TEXTURE_SLOT_COLOR = 0,
    TEXTURE_SLOT_NORMAL = 1,
};

// Texture name of a colour slot that has never been filled.
inline constexpr std::uint32_t kNoColorTexture = 0xFFFFFFFE;

// Header fields of an IWI file as read, or of the IWI being written.
struct IWIFileHeader {
    std::uint8_t version = 0;
    std::uint8_t format = 0;
    std::uint8_t usage = 0;
    std::int16_t width = 0;
    std::int16_t height = 0;
    std::int16_t depth = 0;
    std::array<std::uint32_t, 4> offsets{};
};

// One image: the file it was told to use, the file's type and the decoded level data.
// Operations run in the order SetFile, GetFileType, LoadFile; each returns an IWIResult.
class IWI {
public:
    IWI() = default;
    IWI(const IWI&) = delete;
    IWI& operator=(const IWI&) = delete;
    virtual ~IWI();

    int SetFile(const std::string& path);
    int GetFileType();
    int LoadFile();
    // Uploads `levels` into the texture of `targetSlot`; needs a current OpenGL context.
    int LoadToOpenGL();
    int WriteConvertedFile();
    void Unload();

    std::string GetFormatName() const;
    std::string GetSizeText() const;
    std::string GetOutputName() const;

    static std::string GetErrorString(int code);
    static std::string GetExtension(const std::string& fileName);
    static bool FileExists(const std::string& path);

    int ReadIWI();
    int ReadDDS();
    int WriteDDS();
    int WriteIWI();

    std::int32_t targetSlot = TEXTURE_SLOT_COLOR;
    std::uint32_t colorTexture = kNoColorTexture;
    std::uint32_t normalTexture = 0;
    std::uint32_t invertedNormalTexture = 0;
    DDSHeaderBytes DDSHeader{};
    bool loaded = false;
    bool fileSet = false;
    bool isDDS = false;
    std::string fileName;
    std::string filePath;
    std::string extension;
    IWIFileHeader IWIHeader;
    std::int16_t levelCount = 0;
    std::int16_t width = 0;
    std::int16_t height = 0;
    std::vector<LevelBuffer> levels;       // prepared for upload, level 0 first
    std::vector<LevelBuffer> storedLevels; // as stored in an IWI file, level 0 first
    bool keepsStoredLevels = false;

protected:
    // Called as every upload starts: the start-up picture is about to be replaced.
    virtual void ClearDefaultImageShown() {}

    int ReadIWIv6(pictavo::InputFile& file, std::uint8_t version);
    int ReadIWIv8(pictavo::InputFile& file);
    void PrepareLevel(std::uint32_t levelWidth, std::uint32_t levelHeight, std::uint64_t size,
                      const FormatInfo& info, LevelBuffer& buffer);

private:
    int ReadLevelChain(pictavo::InputFile& file, std::uint64_t headerEnd);
    const std::vector<LevelBuffer>& LevelSource() const;
};
