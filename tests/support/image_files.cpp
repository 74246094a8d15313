#include "image_files.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace pictavo::testing {

namespace {

struct Block {
    int dimension;
    int bytes;
};

Block BlockOf(int format) {
    switch (format) {
    case 1:
        return {1, 4};
    case 2:
        return {1, 3};
    case 3:
        return {1, 2};
    case 4:
        return {1, 1};
    case 11:
    case 0x40: // BC4
    case 0x41:
        return {4, 8};
    default:
        return {4, 16};
    }
}

void PutU16(Bytes& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

} // namespace

Bytes PatternLevel(std::size_t size, int level) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 7 + level * 31 + (i >> 8)) & 0xFF);
    }
    return bytes;
}

std::vector<std::size_t> ChainSizes(int format, int width, int height, int count) {
    const Block block = BlockOf(format);
    std::vector<std::size_t> sizes;
    int w = width;
    int h = height;
    for (int i = 0; i < count; ++i) {
        const std::size_t across = std::max(1, (w + block.dimension - 1) / block.dimension);
        const std::size_t down = std::max(1, (h + block.dimension - 1) / block.dimension);
        sizes.push_back(across * down * block.bytes);
        w = std::max(1, w / 2);
        h = std::max(1, h / 2);
    }
    return sizes;
}

std::vector<Bytes> IwiLevels(const IwiParams& params) {
    std::vector<Bytes> levels;
    int i = 0;
    for (const std::size_t size :
         ChainSizes(params.format, params.width, params.height, params.levels)) {
        levels.push_back(PatternLevel(size, i++));
    }
    return levels;
}

Bytes MakeIwi(const IwiParams& params) {
    const bool v8 = params.version == 8 || params.version == 9;
    const bool v27 = params.version == 27;
    const std::size_t headerEnd = v27 ? 64 : v8 ? 32 : params.version == 13 ? 48 : 28;
    const std::size_t fieldsAt = v8 ? 8 : 4;
    const std::size_t offsetsAt = v27 ? 32 : params.version <= 6 ? 12 : 16;
    const std::size_t offsetCount = params.version >= 13 ? 8 : 4;
    const std::vector<Bytes> levels = IwiLevels(params);

    Bytes file(headerEnd, 0);
    file[0] = 'I';
    file[1] = 'W';
    file[2] = 'i';
    file[3] = static_cast<std::uint8_t>(params.version);
    file[fieldsAt] = static_cast<std::uint8_t>(params.format);
    file[fieldsAt + 1] = params.usage;
    PutU16(file, fieldsAt + 2, static_cast<std::uint16_t>(params.width));
    PutU16(file, fieldsAt + 4, static_cast<std::uint16_t>(params.height));
    PutU16(file, fieldsAt + 6, 1);
    // Each level holds its faces one after another.
    const int faces = !v8 && (params.usage & 0x04) != 0 ? 6 : 1;
    for (auto level = levels.rbegin(); level != levels.rend(); ++level) {
        for (int face = 0; face < faces; ++face) {
            file.insert(file.end(), level->begin(), level->end());
        }
    }
    // Version 27 leaves the entries past the last level 0; the others repeat its end.
    std::size_t end = file.size();
    for (std::size_t k = 0; k < offsetCount; ++k) {
        const bool pastLast = k >= levels.size();
        PutU32(file, offsetsAt + 4 * k, static_cast<std::uint32_t>(v27 && pastLast ? 0 : end));
        if (k + 1 < levels.size()) {
            end -= levels[k].size() * faces;
        }
    }
    return file;
}

std::vector<Bytes> DdsLevels(const DdsParams& params) {
    std::vector<Bytes> levels;
    int i = 0;
    for (const std::size_t size :
         ChainSizes(params.format, static_cast<int>(params.width), static_cast<int>(params.height),
                    static_cast<int>(params.levels))) {
        levels.push_back(PatternLevel(size, 100 + i++));
    }
    return levels;
}

Bytes MakeDds(const DdsParams& params) {
    Bytes file(128, 0);
    PutU32(file, 0, 0x20534444);
    PutU32(file, 4, 124);
    PutU32(file, 8, params.mipMapFlag ? 0x21007 : 0x1007);
    PutU32(file, 12, params.height);
    PutU32(file, 16, params.width);
    PutU32(file, 28, params.levels);
    PutU32(file, 76, 32);
    PutU32(file, 80, 0x4);
    PutU32(file, 84, params.fourCC);
    PutU32(file, 108, 0x401008);
    const std::uint32_t stored = params.mipMapFlag ? params.levels : 1;
    DdsParams chain = params;
    chain.levels = stored;
    for (const Bytes& level : DdsLevels(chain)) {
        file.insert(file.end(), level.begin(), level.end());
    }
    return file;
}

Bytes MakeA8B8G8R8Dds(std::uint32_t width, std::uint32_t height, const Bytes& rgba) {
    // Room for the pixels up front: growing a 128-byte vector trips GCC 12's bounds warning.
    Bytes dds;
    dds.reserve(128 + rgba.size());
    dds.resize(128);
    for (const auto& [at, value] : {std::pair<std::size_t, std::uint32_t>{0, 0x20534444},
                                    {4, 124},
                                    {8, 0x1007},
                                    {12, height},
                                    {16, width},
                                    {76, 32},
                                    {80, 0x41},
                                    {88, 32},
                                    {92, 0xFF},
                                    {96, 0xFF00},
                                    {100, 0xFF0000},
                                    {104, 0xFF000000},
                                    {108, 0x1000}}) {
        PutU32(dds, at, value);
    }
    dds.insert(dds.end(), rgba.begin(), rgba.end());
    return dds;
}

void PrintTo(const IwiParams& params, std::ostream* out) {
    *out << "IWI v" << params.version << " format " << params.format << " " << params.width << "x"
         << params.height << " " << params.levels << " levels";
}

void PrintTo(const DdsParams& params, std::ostream* out) {
    *out << "DDS format " << params.format << " " << params.width << "x" << params.height << " "
         << params.levels << " levels" << (params.mipMapFlag ? "" : " (no count flag)");
}

std::uint32_t FourCCOf(const char* text) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(text[0])) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(text[1])) << 8) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(text[2])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(text[3])) << 24);
}

void PutU32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint32_t GetU32(const Bytes& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | bytes[at + i];
    }
    return value;
}

// One read of the whole file: byte-wise stream iterators crawl under the sanitizers.
Bytes ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    Bytes bytes(in ? static_cast<std::size_t>(in.tellg()) : 0);
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return bytes;
}

std::map<std::string, Bytes> Tree(const std::filesystem::path& folder) {
    std::map<std::string, Bytes> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[entry.path().lexically_relative(folder).generic_string()] =
                ReadBytes(entry.path());
        }
    }
    return files;
}

void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

TempDir::TempDir() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto candidate =
            std::filesystem::temp_directory_path() / ("pictavo-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::File(const std::string& name) const {
    return (path_ / name).make_preferred().string();
}

std::filesystem::path CorpusDir() {
    const char* configured = std::getenv("PICTAVO_CORPUS_DIR");
    const std::filesystem::path dir = configured != nullptr ? configured : PICTAVO_CORPUS_DIR;
    std::error_code error;
    return std::filesystem::is_regular_file(dir / "MANIFEST.tsv", error) ? dir
                                                                         : std::filesystem::path();
}

std::vector<std::vector<std::string>> ReadTsv(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::stringstream fields(line);
        for (std::string cell; std::getline(fields, cell, '\t');) {
            cells.push_back(cell);
        }
        rows.push_back(cells);
    }
    return rows;
}

} // namespace pictavo::testing
