#pragma once

#include "image/image_format.h"
#include "image/iwi_result.h"
#include "texture/byte_source.h"
#include "texture/output_file.h"
#include "texture/texture.h"
#include "texture/texture_error.h"
#include "texture/texture_reader.h"
#include "texture/texture_writer.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

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
    // Reads an image already in memory (an archive entry, a file read whole), IWI or DDS as
    // its first bytes say; DDS files of every format the reader takes. `path` is the file an
    // export writes beside, empty when there is none.
    int LoadBytes(const std::string& name, const std::string& path,
                  std::span<const std::uint8_t> bytes);
    // Uploads `levels` into the texture of `targetSlot`; needs a current OpenGL context.
    int LoadToOpenGL();
    int WriteConvertedFile();
    // Writes the converted image to `output`; told to keep a file already there, it answers
    // IWI_ERR_EXISTS and leaves that file as it was.
    int WriteConvertedFileTo(const std::string& output, pictavo::IfExists ifExists);
    void Unload();

    std::string GetFormatName() const;
    std::string GetSizeText() const;
    std::string GetOutputName() const;
    // Where the converted image goes in `folder`, under the image's own name.
    std::string GetOutputNameIn(const std::string& folder) const;

    static std::string GetErrorString(int code);
    // Turns a copy of a level read from a file into what OpenGL expects: upside down, and
    // R, G, B for stored B, G, R pixels.
    static void PrepareLevel(std::uint32_t levelWidth, std::uint32_t levelHeight,
                             std::uint64_t size, const FormatInfo& info, LevelBuffer& buffer);
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
    pictavo::DdsHeaderBytes DDSHeader{};
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
    std::int16_t faceCount = 0; // 6 for a cube map
    // The face of a cube map LoadToOpenGL uploads; face 0 when the image has no such face.
    std::int16_t uploadFace = 0;
    // Level data exactly as the file stores it, each face's levels in turn, level 0 first.
    // The upload prepares its own copy, so the image holds every level once.
    std::vector<LevelBuffer> levels;
    bool keepsStoredLevels = false; // from an IWI file: the upload flips and swaps levels
    // What the reader found: container, version, flags, layout and file size.
    pictavo::TextureInfo textureInfo;
    // Why the last read failed, in the texture library's words; kNone after a good one. The
    // text names what was refused, such as a DDS pixel format.
    pictavo::TextureError readError = pictavo::TextureError::kNone;
    std::string readErrorText;
    // How the next reads take bytes that allow more than one reading.
    pictavo::ReadOptions readOptions;
    // Why the last write failed, in the texture library's words; empty after a good one.
    std::string writeErrorText;

protected:
    // Called as every upload starts: the start-up picture is about to be replaced.
    virtual void ClearDefaultImageShown() {}

private:
    // Reads the set file, which must be of `container` by its first bytes, and takes its
    // levels.
    int ReadTextureFile(pictavo::Container container);
    // Reads a texture of the type already decided; `dxtDdsOnly` refuses other DDS formats.
    int ReadSource(pictavo::ByteSource& source, bool dxtDdsOnly);
    // `path` with the other type's extension, or empty when it has none.
    std::string ConvertedPath(const std::string& path) const;
    int WriteDDSTo(const std::string& output, pictavo::IfExists ifExists);
    int WriteIWITo(const std::string& output, pictavo::IfExists ifExists);
    // Records why a read that got as far as `info` failed, and gives its result code.
    int ReadFailed(pictavo::TextureError error, const pictavo::TextureInfo& info = {});
    // Records the outcome of a write, and gives its result code.
    int Written(pictavo::TextureError error);
    void Adopt(pictavo::Texture&& texture);
    // Level `index` as OpenGL takes it: the stored bytes themselves, or a prepared copy.
    const LevelBuffer& Prepared(std::size_t index, std::uint32_t levelWidth,
                                std::uint32_t levelHeight, LevelBuffer& scratch) const;
    // The held image as the texture writers take it.
    pictavo::TextureInfo HeldTextureInfo() const;
};
