// Call of Duty 2 (IWI version 5) and Black Ops II (version 27): every real file of
// iwi_kinds_more reads as its manifest says, its level 0 is the one an independent reading of
// the layout finds, and it is written back in its own version; the odd kinds each read or are
// refused as decided, and files we make of every shape read back.
#include "texture/decode.h"
#include "texture/texture_reader.h"
#include "texture/texture_writer.h"
#include "texture_layout.h"
#include "texture_samples.h"

#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <optional>
#include <set>

#ifdef PICTAVO_HAVE_SQUISH
#include <squish.h>
#endif

namespace {

using pictavo::RgbaImage;
using pictavo::Texture;
using pictavo::TextureError;
using pictavo::TextureInfo;
using pictavo::testing::Bytes;
using pictavo::testing::GetU32;
using pictavo::testing::IwiParams;
using pictavo::testing::MakeIwi;
using pictavo::testing::TempDir;

// A manifest row: the header's facts as the survey read them.
struct Row {
    std::string file;
    int version = 0;
    int format = 0;
    int usage = 0;
    int width = 0;
    int height = 0;
    std::uint32_t levelsByRule = 0;
    std::uint32_t faces = 0;
};

std::vector<Row> ManifestRows(const std::filesystem::path& folder) {
    std::vector<Row> rows;
    for (const auto& c : pictavo::testing::ReadTsv(folder / "MANIFEST.tsv")) {
        rows.push_back({c[0], std::stoi(c[4]), std::stoi(c[5]), std::stoi(c[6]), std::stoi(c[7]),
                        std::stoi(c[8]), static_cast<std::uint32_t>(std::stoul(c[10])),
                        static_cast<std::uint32_t>(std::stoul(c[11]))});
    }
    return rows;
}

std::size_t BlockBytes(int format) {
    return format == 11 ? 8 : format == 1 ? 4 : format == 2 ? 3 : 16;
}

std::size_t Level0Bytes(const Row& row) {
    if (row.format == 1 || row.format == 2) {
        return static_cast<std::size_t>(row.width) * row.height * BlockBytes(row.format);
    }
    return static_cast<std::size_t>((row.width + 3) / 4) * ((row.height + 3) / 4) *
           BlockBytes(row.format);
}

// Where the survey's description puts level 0, read here on its own: version 5 as version 6
// (one level right after the 28-byte header, else the end of the file); version 27 after the
// 64-byte header for one level, after the first 32 bytes when they are all the header there
// is, else from where table entry 1 says level 1 ends. Bytes past the end read as zeros.
Bytes DocumentedLevel0(const Row& row, const Bytes& file) {
    const std::size_t size = Level0Bytes(row);
    const bool oneLevel = (row.usage & 0x02) != 0;
    std::size_t at = 0;
    if (row.version == 5) {
        at = oneLevel ? 28 : file.size() - size;
    } else if (file.size() == 32 + size) {
        at = 32;
    } else {
        at = oneLevel ? 64 : GetU32(file, 36);
    }
    Bytes level(size, 0);
    std::copy(file.begin() + static_cast<std::ptrdiff_t>(at),
              file.begin() + static_cast<std::ptrdiff_t>(std::min(at + size, file.size())),
              level.begin());
    return level;
}

// The stored bytes spelled out as RGBA (version 27 keeps R, G, B order), or libsquish's
// decode of DXT blocks; empty where libsquish is missing.
Bytes IndependentDecode(const Row& row, const Bytes& stored) {
    Bytes rgba;
    if (row.format == 1 || row.format == 2) {
        for (std::size_t i = 0; i < stored.size(); i += BlockBytes(row.format)) {
            rgba.insert(rgba.end(), {stored[i], stored[i + 1], stored[i + 2],
                                     row.format == 1 ? stored[i + 3] : std::uint8_t{255}});
        }
        return rgba;
    }
#ifdef PICTAVO_HAVE_SQUISH
    rgba.resize(static_cast<std::size_t>(row.width) * row.height * 4);
    const int flags = row.format == 11   ? squish::kDxt1
                      : row.format == 12 ? squish::kDxt3
                                         : squish::kDxt5;
    squish::DecompressImage(rgba.data(), row.width, row.height, stored.data(), flags);
#endif
    return rgba;
}

std::optional<Bytes> Written(const std::function<TextureError(const std::string&)>& write) {
    TempDir dir;
    const std::string path = dir.File("written");
    if (write(path) != TextureError::kNone) {
        return std::nullopt;
    }
    return pictavo::testing::ReadBytes(path);
}

void ExpectSameTexture(const Texture& a, const Texture& b) {
    EXPECT_EQ(a.info.format, b.info.format);
    EXPECT_EQ(a.info.width, b.info.width);
    EXPECT_EQ(a.info.height, b.info.height);
    EXPECT_EQ(a.info.levels, b.info.levels);
    EXPECT_EQ(a.info.faces, b.info.faces);
    EXPECT_EQ(a.images, b.images);
}

TEST(IwiVersions5And27, EveryCorpusFileReadsDecodesAndIsWrittenBack) {
    const std::filesystem::path folder = pictavo::testing::CorpusDir() / "iwi_kinds_more";
    if (pictavo::testing::CorpusDir().empty() || !std::filesystem::exists(folder)) {
        GTEST_SKIP() << "the corpus of real files is absent (PICTAVO_CORPUS_DIR)";
    }
    int read = 0;
    int decoded = 0;
    int roundTrips = 0;
    int sameBytes = 0;
    std::set<std::pair<int, int>> kinds;
    const std::vector<Row> rows = ManifestRows(folder);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        const Bytes file = pictavo::testing::ReadBytes(folder / row.file);
        Texture texture;
        ASSERT_EQ(pictavo::ReadTexture(file, texture), TextureError::kNone);
        const TextureInfo& info = texture.info;
        // A header that lost its table holds one level, whatever its flags say.
        const bool lostTable = row.version == 27 && file.size() == 32 + Level0Bytes(row);
        EXPECT_EQ(info.version, row.version);
        EXPECT_EQ(info.width, static_cast<std::uint32_t>(row.width));
        EXPECT_EQ(info.height, static_cast<std::uint32_t>(row.height));
        EXPECT_EQ(info.faces, row.faces);
        EXPECT_EQ(info.levels, lostTable ? 1 : row.levelsByRule);
        TextureInfo headerOnly;
        ASSERT_EQ(pictavo::ReadTextureInfo((folder / row.file).string(), headerOnly),
                  TextureError::kNone);
        EXPECT_EQ(headerOnly.levels, info.levels);
        Texture fromPath;
        ASSERT_EQ(pictavo::ReadTexture((folder / row.file).string(), fromPath),
                  TextureError::kNone);
        EXPECT_EQ(fromPath.images, texture.images);
        ++read;

        const RgbaImage ours = pictavo::testing::DecodeLevel0(texture);
        const Bytes theirs = IndependentDecode(row, DocumentedLevel0(row, file));
        if (!theirs.empty()) {
            const bool same = pictavo::testing::PixelsWithin(theirs, ours.pixels, ours.width, 1);
            EXPECT_TRUE(same);
            decoded += same ? 1 : 0;
        }

        // In its own version, then DDS to IWI to DDS: the DDS files are the same bytes.
        const std::uint8_t version = static_cast<std::uint8_t>(row.version);
        const auto iwi = Written(
            [&](const std::string& path) { return pictavo::WriteIwi(texture, version, path); });
        ASSERT_TRUE(iwi);
        Texture again;
        ASSERT_EQ(pictavo::ReadTexture(*iwi, again), TextureError::kNone);
        ExpectSameTexture(again, texture);
        sameBytes += *iwi == file ? 1 : 0;
        const auto dds =
            Written([&](const std::string& path) { return pictavo::WriteDds(texture, path); });
        ASSERT_TRUE(dds);
        Texture fromDds;
        ASSERT_EQ(pictavo::ReadTexture(*dds, fromDds), TextureError::kNone);
        const auto iwiFromDds = Written(
            [&](const std::string& path) { return pictavo::WriteIwi(fromDds, version, path); });
        ASSERT_TRUE(iwiFromDds);
        Texture backFromIwi;
        ASSERT_EQ(pictavo::ReadTexture(*iwiFromDds, backFromIwi), TextureError::kNone);
        const auto ddsAgain =
            Written([&](const std::string& path) { return pictavo::WriteDds(backFromIwi, path); });
        EXPECT_EQ(ddsAgain, dds);
        roundTrips += ddsAgain == dds ? 1 : 0;
        kinds.insert({row.version, row.format});
    }
    std::cout << rows.size() << " files: " << read << " read, " << decoded
              << " decoded as the layout says, " << roundTrips << " DDS to IWI to DDS unchanged, "
              << sameBytes << " written back as the same bytes\n";
    // Every kind of the survey: version 5 of formats 11-13, version 27 of formats 1, 2, 11-13.
    EXPECT_EQ(kinds.size(), 8u);
}

Bytes CorpusFile(const char* name) {
    const std::filesystem::path path = pictavo::testing::CorpusDir() / "iwi_kinds_more" / name;
    return pictavo::testing::CorpusDir().empty() || !std::filesystem::exists(path)
               ? Bytes()
               : pictavo::testing::ReadBytes(path);
}

// The odd real files, each read as far as its bytes honestly allow.
TEST(IwiVersions5And27, OddFilesReadAsTheirBytesAllow) {
    struct Odd {
        const char* file;
        std::uint32_t levels;
        std::uint64_t dataOffset;
        std::uint64_t spare;
        std::uint64_t missing;
    };
    for (const Odd& odd : {
             // Entries 1-7 lie 16 bytes higher than the chain the size fits; level 0 begins at
             // entry 1 and runs 16 bytes past the end.
             Odd{"iwi_v27_fmt13/loadscreen_transit_classic.iwi", 11, 80, 0, 16},
             // Level 0 one DXT1 block short.
             Odd{"iwi_v27_fmt11/_-gzombie_vending_jugg_col.iwi", 10, 64, 0, 8},
             // Level 0's room 32 bytes longer than the level: they follow it.
             Odd{"iwi_v27_fmt13/specialty_doubletap_zombies.iwi", 7, 64, 32, 0},
             // The first 32 bytes alone, then one level.
             Odd{"iwi_v27_fmt13/lui_bkg.iwi", 1, 32, 0, 0},
             // One level, and 112 bytes past where the table ends it.
             Odd{"iwi_v5_fmt13/empty.iwi", 1, 28, 112, 0},
         }) {
        SCOPED_TRACE(odd.file);
        const Bytes file = CorpusFile(odd.file);
        if (file.empty()) {
            GTEST_SKIP() << "the corpus of real files is absent (PICTAVO_CORPUS_DIR)";
        }
        Texture texture;
        ASSERT_EQ(pictavo::ReadTexture(file, texture), TextureError::kNone);
        EXPECT_EQ(texture.info.levels, odd.levels);
        const pictavo::TextureLayout& layout = pictavo::TextureLayout::Of(texture.info);
        EXPECT_EQ(layout.dataOffset, odd.dataOffset);
        EXPECT_EQ(layout.spareBytes, odd.spare);
        EXPECT_EQ(layout.missingBytes, odd.missing);
        const Bytes& level0 = texture.Image(0);
        const std::size_t held = level0.size() - odd.missing;
        EXPECT_TRUE(std::equal(level0.begin(), level0.begin() + static_cast<std::ptrdiff_t>(held),
                               file.end() - static_cast<std::ptrdiff_t>(held + odd.spare)));
        EXPECT_EQ(Bytes(level0.begin() + static_cast<std::ptrdiff_t>(held), level0.end()),
                  Bytes(odd.missing, 0));
        // Cut into its levels, the file is refused: its table says how long it was.
        for (const std::size_t cut : {odd.spare + 1, odd.spare + 8, file.size() / 2}) {
            Texture shorter;
            EXPECT_NE(pictavo::ReadTexture(std::span(file.data(), file.size() - cut), shorter),
                      TextureError::kNone)
                << cut;
        }
    }
}

TEST(IwiVersions5And27, TablesThatPlaceNoLevelAreRefused) {
    // Version 5 whose offsets all say 28 while it holds 5,490 bytes more than its chain.
    Bytes v5 = MakeIwi({.version = 5, .format = 13, .width = 64, .height = 64, .levels = 7});
    v5.resize(v5.size() + 5490);
    for (std::size_t k = 0; k < 4; ++k) {
        pictavo::testing::PutU32(v5, 12 + 4 * k, 28);
    }
    Texture texture;
    EXPECT_EQ(pictavo::ReadTexture(v5, texture), TextureError::kNoLayout);
    // Version 27 whose level 0 lacks more than its last row of blocks.
    Bytes v27 = MakeIwi({.version = 27, .format = 11, .width = 16, .height = 16, .levels = 5});
    pictavo::testing::PutU32(v27, 32, static_cast<std::uint32_t>(v27.size() - 40));
    v27.resize(v27.size() - 40);
    EXPECT_EQ(pictavo::ReadTexture(v27, texture), TextureError::kTruncated);
    EXPECT_TRUE(texture.images.empty());
}

// Files of every shape as the games write them, from our builder, read back level by level;
// written again in their version, they are the same bytes.
TEST(IwiVersions5And27, MadeFilesOfEveryShapeReadBackAndAreWrittenAlike) {
    for (const IwiParams& params : {
             IwiParams{.version = 5, .format = 11, .width = 64, .height = 32, .levels = 7},
             IwiParams{.version = 5, .format = 13, .width = 16, .height = 16, .usage = 0x03},
             IwiParams{.version = 5, .format = 1, .width = 8, .height = 8, .levels = 4},
             IwiParams{.version = 27, .format = 13, .width = 1024, .height = 8, .levels = 11},
             IwiParams{.version = 27, .format = 12, .width = 20, .height = 12, .levels = 5},
             IwiParams{.version = 27, .format = 1, .width = 6, .height = 5, .levels = 3},
             IwiParams{.version = 27, .format = 2, .width = 4, .height = 4, .usage = 0x02},
             // A cube map keeps its mipmaps, each level's six faces in turn.
             IwiParams{
                 .version = 27, .format = 11, .width = 8, .height = 8, .levels = 4, .usage = 0x04},
         }) {
        SCOPED_TRACE(::testing::PrintToString(params));
        const Bytes file = MakeIwi(params);
        Texture texture;
        ASSERT_EQ(pictavo::ReadTexture(file, texture), TextureError::kNone);
        const std::uint32_t faces = (params.usage & 0x04) != 0 ? 6 : 1;
        ASSERT_EQ(texture.info.levels, static_cast<std::uint32_t>(params.levels));
        ASSERT_EQ(texture.info.faces, faces);
        const std::vector<Bytes> levels = pictavo::testing::IwiLevels(params);
        for (std::uint32_t face = 0; face < faces; ++face) {
            for (std::uint32_t level = 0; level < texture.info.levels; ++level) {
                Bytes expected = levels[level];
                // Version 27 pixels are read into B, G, R order.
                if (params.version == 27 && (params.format == 1 || params.format == 2)) {
                    const std::size_t step = params.format == 1 ? 4 : 3;
                    for (std::size_t i = 0; i + step <= expected.size(); i += step) {
                        std::swap(expected[i], expected[i + 2]);
                    }
                }
                EXPECT_EQ(texture.Image(level, face), expected) << level << " " << face;
            }
        }
        const auto written = Written([&](const std::string& path) {
            return pictavo::WriteIwi(texture, static_cast<std::uint8_t>(params.version), path);
        });
        EXPECT_EQ(written, file);
    }
}

} // namespace
