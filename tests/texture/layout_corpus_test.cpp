// Every level of every real IWI file, located by the rules of docs/iwi-layouts.md on
// their own, decoded independently (libsquish for DXT, the stored bytes spelled out for
// the rest), must be the level our reader gives.
#include "texture/decode.h"
#include "texture/texture_reader.h"
#include "texture_samples.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

#ifdef PICTAVO_HAVE_SQUISH
#include <squish.h>
#endif

namespace {

using pictavo::FindFormat;
using pictavo::FormatInfo;
using pictavo::RgbaImage;
using pictavo::Texture;
using pictavo::testing::Bytes;
using pictavo::testing::CorpusDir;
using pictavo::testing::ReadTsv;

// One corpus file with the facts its manifest states.
struct Documented {
    std::string file;
    int version = 0;
    int format = 0;
    int width = 0;
    int height = 0;
    int levels = 0;
    std::string layout; // CHAIN, CHAIN@44, CHAIN-LARGEST-FIRST, CUBE6, +TRAIL4, /L1-TRUNC ...
};

std::vector<Documented> DocumentedIwiFiles(const std::filesystem::path& corpus) {
    std::vector<Documented> files;
    // The kinds folder names each file's layout; the others hold plain chains only.
    for (const auto& row : ReadTsv(corpus / "iwi_kinds" / "MANIFEST.tsv")) {
        files.push_back({"iwi_kinds/" + row[0], std::stoi(row[1]), std::stoi(row[2]),
                         std::stoi(row[5]), std::stoi(row[6]), std::stoi(row[8]), row[9]});
    }
    for (const auto& row : ReadTsv(corpus / "MANIFEST.tsv")) {
        if (row[0].ends_with(".iwi")) {
            const bool longHeader = row[9].find("header end 44") != std::string::npos;
            files.push_back({row[0], std::stoi(row[4]), std::stoi(row[5]), std::stoi(row[6]),
                             std::stoi(row[7]), std::stoi(row[8]),
                             longHeader ? "CHAIN@44" : "CHAIN"});
        }
    }
    return files;
}

std::size_t HeaderEnd(const Documented& doc) {
    if (doc.layout.find("@44") != std::string::npos) {
        return 44;
    }
    return doc.version == 6 ? 28 : doc.version == 13 ? 48 : 32;
}

// Level sizes counting whole blocks only, sides rounded down.
std::vector<std::size_t> RoundedDownSizes(const Documented& doc, int count) {
    const FormatInfo& format = *FindFormat(doc.format);
    const int dim = static_cast<int>(format.blockDimension);
    std::vector<std::size_t> sizes;
    for (int l = 0; l < count; ++l) {
        const int w = std::max(1, doc.width >> l);
        const int h = std::max(1, doc.height >> l);
        sizes.push_back(static_cast<std::size_t>(w / dim) * (h / dim) * format.bytesPerBlock);
    }
    return sizes;
}

// images[level][face] as the documented layout places them.
std::vector<std::vector<Bytes>> Locate(const Documented& doc, const Bytes& file) {
    const std::string& layout = doc.layout;
    const bool cube = layout == "CUBE6";
    const int faces = cube ? 6 : 1;
    const std::vector<std::size_t> sizes =
        pictavo::testing::ChainSizes(doc.format, doc.width, doc.height, doc.levels);
    const std::size_t header = HeaderEnd(doc);
    const std::size_t trailing = layout.find("+TRAIL4") != std::string::npos ? 4 : 0;
    std::vector<std::vector<Bytes>> images;
    auto take = [&file](std::size_t at, std::size_t size) {
        return Bytes(file.begin() + static_cast<std::ptrdiff_t>(at),
                     file.begin() + static_cast<std::ptrdiff_t>(at + size));
    };
    if (layout.find("/L1-TRUNC") != std::string::npos) {
        Bytes chain;
        std::size_t end = file.size() - trailing;
        for (const std::size_t piece : RoundedDownSizes(doc, doc.levels)) {
            if (piece == 0 || end - header < piece) {
                break;
            }
            const Bytes bytes = take(end - piece, piece);
            chain.insert(chain.end(), bytes.begin(), bytes.end());
            end -= piece;
        }
        std::size_t at = 0;
        for (const std::size_t size : sizes) {
            if (at + size > chain.size()) {
                break;
            }
            images.push_back({Bytes(chain.begin() + static_cast<std::ptrdiff_t>(at),
                                    chain.begin() + static_cast<std::ptrdiff_t>(at + size))});
            at += size;
        }
        return images;
    }
    images.resize(sizes.size());
    std::size_t at = header;
    // Smallest first unless the layout says largest first: walk the chain in file order.
    const bool largestFirst = layout == "CHAIN-LARGEST-FIRST" || sizes.size() == 1;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const std::size_t level = largestFirst ? i : sizes.size() - 1 - i;
        for (int face = 0; face < faces; ++face) {
            images[level].push_back(take(at, sizes[level]));
            at += sizes[level];
        }
    }
    return images;
}

// The stored bytes spelled out as RGBA by what each byte means, or libsquish for DXT.
Bytes IndependentDecode(int format, [[maybe_unused]] int width, [[maybe_unused]] int height,
                        const Bytes& stored) {
    if (FindFormat(format)->compressed) {
#ifdef PICTAVO_HAVE_SQUISH
        const int flags = format == pictavo::kFormatDxt1   ? squish::kDxt1
                          : format == pictavo::kFormatDxt3 ? squish::kDxt3
                                                           : squish::kDxt5;
        Bytes rgba(static_cast<std::size_t>(width) * height * 4);
        squish::DecompressImage(rgba.data(), width, height, stored.data(), flags);
        return rgba;
#else
        return {};
#endif
    }
    return pictavo::testing::StoredToRgba(format, stored);
}

// Our levels of one file against the documented ones; returns early on the first mismatch
// of shape, so that one odd file does not hide the others.
void ExpectDocumentedLevels(const std::filesystem::path& corpus, const Documented& doc) {
    SCOPED_TRACE(doc.file + " (" + doc.layout + ")");
    const Bytes file = pictavo::testing::ReadBytes(corpus / doc.file);
    const std::vector<std::vector<Bytes>> expected = Locate(doc, file);
    Texture texture;
    ASSERT_EQ(pictavo::ReadTexture(file, texture), pictavo::TextureError::kNone);
    ASSERT_EQ(texture.info.levels, expected.size());
    ASSERT_EQ(texture.info.faces, expected[0].size());
    const FormatInfo& format = *FindFormat(doc.format);
    for (std::uint32_t level = 0; level < texture.info.levels; ++level) {
        for (std::uint32_t face = 0; face < texture.info.faces; ++face) {
            SCOPED_TRACE("level " + std::to_string(level) + " face " + std::to_string(face));
            const std::uint32_t width = texture.info.LevelWidth(level);
            RgbaImage ours;
            ASSERT_TRUE(pictavo::DecodeLevel(format, width, texture.info.LevelHeight(level),
                                             texture.Image(level, face), ours));
            const Bytes theirs =
                IndependentDecode(doc.format, static_cast<int>(width),
                                  static_cast<int>(ours.height), expected[level][face]);
            EXPECT_TRUE(pictavo::testing::PixelsWithin(theirs, ours.pixels, width, 1));
        }
    }
}

TEST(LayoutCorpus, EveryLevelOfEveryFileIsWhereTheDocumentedLayoutPutsIt) {
    const std::filesystem::path corpus = CorpusDir();
    if (corpus.empty()) {
        GTEST_SKIP() << "the corpus of real files is absent (PICTAVO_CORPUS_DIR)";
    }
#ifndef PICTAVO_HAVE_SQUISH
    GTEST_SKIP() << "libsquish was not found when the tests were configured";
#endif
    std::set<std::string> layouts;
    for (const Documented& doc : DocumentedIwiFiles(corpus)) {
        ExpectDocumentedLevels(corpus, doc);
        layouts.insert(doc.layout);
    }
    // Every kind of layout the corpus documents was seen.
    EXPECT_GE(layouts.size(), 8u);
}

} // namespace
