#pragma once

#include "texture/result.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

// Builders of IWI and DDS files for tests, fuzz seeds and benchmarks, written from the
// layouts the program reads, independently of its own writers.
namespace pictavo::testing {

using Bytes = std::vector<std::uint8_t>;

// The failure's sentence, empty for a success: what tests compare and print.
template <typename T> std::string Why(const Result<T>& result) {
    return result ? std::string() : result.error().text;
}

// Level i of a chain filled with a pattern that differs between levels and positions.
Bytes PatternLevel(std::size_t size, int level);

// Sizes of the chain from level 0 down, `count` levels (whole-block rule, sides halving
// downwards).
std::vector<std::size_t> ChainSizes(int format, int width, int height, int count);

struct IwiParams {
    int version = 6;
    int format = 11;
    int width = 4;
    int height = 4;
    int levels = 1;
    std::uint8_t usage = 0;
};

// An IWI file: header, then levels smallest first, level 0 last, each with its six faces in
// turn when the usage marks a cube map. Offsets as the games write them: entry k is where
// level k ends; entries past the last level repeat its end, or in version 27 are 0.
Bytes MakeIwi(const IwiParams& params);
// The level bytes of MakeIwi(params), level 0 first, as stored.
std::vector<Bytes> IwiLevels(const IwiParams& params);

struct DdsParams {
    std::uint32_t fourCC = 0x31545844; // "DXT1"
    int format = 11;                   // IWI code of the FourCC, for the sizes
    std::uint32_t width = 4;
    std::uint32_t height = 4;
    std::uint32_t levels = 1;
    bool mipMapFlag = true;
};

// A DDS file: 128-byte header, then levels, level 0 first.
Bytes MakeDds(const DdsParams& params);
std::vector<Bytes> DdsLevels(const DdsParams& params);
// A one-level DDS of 32-bit pixels with R, G, B, A in byte order (A8B8G8R8 masks).
Bytes MakeA8B8G8R8Dds(std::uint32_t width, std::uint32_t height, const Bytes& rgba);

// Readable test names for parameterised cases.
void PrintTo(const IwiParams& params, std::ostream* out);
void PrintTo(const DdsParams& params, std::ostream* out);

std::uint32_t FourCCOf(const char* text);
void PutU32(Bytes& bytes, std::size_t at, std::uint32_t value);
std::uint32_t GetU32(const Bytes& bytes, std::size_t at);

Bytes ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const Bytes& bytes);
// Every file below a folder, by its path relative to it, with its bytes.
std::map<std::string, Bytes> Tree(const std::filesystem::path& folder);

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    // The native path text of a file inside the folder.
    std::string File(const std::string& name) const;

private:
    std::filesystem::path path_;
};

// The folder of real game files, or an empty path when it is not present.
std::filesystem::path CorpusDir();

// The rows of a tab-separated manifest, without its line of column names.
std::vector<std::vector<std::string>> ReadTsv(const std::filesystem::path& path);

} // namespace pictavo::testing
