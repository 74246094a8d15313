#include "byte_order.h"
#include "image_files.h"
#include "texture/texture_reader.h"
#include "texture/texture_writer.h"
#include "texture_layout.h"

#include <gtest/gtest.h>

namespace {

using pictavo::Texture;
using pictavo::TextureError;
using pictavo::TextureInfo;
using pictavo::TextureLayout;
using pictavo::testing::Bytes;
using pictavo::testing::CorpusDir;
using pictavo::testing::ReadBytes;
using pictavo::testing::ReadTsv;
using pictavo::testing::TempDir;

// What a manifest says of one file.
struct Expected {
    std::string file;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::string levels; // "n/a" where the manifest gives none
    std::uint32_t faces = 1;
    bool refused = false; // the manifest says no reader can take it
};

// Both manifests: the first shares, and the kinds of files the games hold.
std::vector<Expected> ReadManifests(const std::filesystem::path& corpus) {
    std::vector<Expected> files;
    for (const auto& c : ReadTsv(corpus / "MANIFEST.tsv")) {
        if (c.size() < 10) {
            continue;
        }
        const bool readable = c[4] != "DDS" || c[5].rfind("DXT", 0) == 0 ||
                              c[5].rfind("ATI", 0) == 0 || c[5].rfind("uncompressed", 0) == 0 ||
                              c[5].rfind("DX10", 0) == 0;
        const bool refused = !readable || c[9].find("malformed") != std::string::npos;
        const std::uint32_t faces = c[9].find("cube map") != std::string::npos ? 6 : 1;
        files.push_back({c[0], static_cast<std::uint32_t>(std::stoul(c[6])),
                         static_cast<std::uint32_t>(std::stoul(c[7])), c[8], faces, refused});
    }
    for (const auto& c : ReadTsv(corpus / "iwi_kinds" / "MANIFEST.tsv")) {
        if (c.size() < 10) {
            continue;
        }
        // Files cut into whole-block pieces hold fewer levels than their chain: the layout
        // test counts them.
        const bool pieces = c[9].find("L1-TRUNC") != std::string::npos;
        files.push_back({"iwi_kinds/" + c[0], static_cast<std::uint32_t>(std::stoul(c[5])),
                         static_cast<std::uint32_t>(std::stoul(c[6])), pieces ? "n/a" : c[8],
                         c[9] == "CUBE6" ? 6u : 1u, false});
    }
    return files;
}

void ExpectSameInfo(const TextureInfo& a, const TextureInfo& b) {
    EXPECT_EQ(a.format, b.format);
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(a.levels, b.levels);
    EXPECT_EQ(a.faces, b.faces);
}

class TextureCorpusTest : public ::testing::Test {
protected:
    void SetUp() override {
        corpus_ = CorpusDir();
        if (corpus_.empty()) {
            GTEST_SKIP() << "no corpus folder of real game files (set PICTAVO_CORPUS_DIR)";
        }
        files_ = ReadManifests(corpus_);
        ASSERT_GT(files_.size(), 100u);
    }
    std::filesystem::path corpus_;
    std::vector<Expected> files_;
};

// Every file reads as its manifest says, the same from a path, from memory and header only,
// or is refused with a message of its own.
TEST_F(TextureCorpusTest, EveryFileReadsAsItsManifestSays) {
    for (const Expected& expected : files_) {
        SCOPED_TRACE(expected.file);
        const std::filesystem::path path = corpus_ / expected.file;
        Texture texture;
        const TextureError error = pictavo::ReadTexture(path.string(), texture);
        if (expected.refused) {
            EXPECT_NE(error, TextureError::kNone);
            EXPECT_NE(error, TextureError::kOpen);
            continue;
        }
        ASSERT_EQ(error, TextureError::kNone) << pictavo::ErrorText(error);
        EXPECT_EQ(texture.info.width, expected.width);
        EXPECT_EQ(texture.info.height, expected.height);
        EXPECT_EQ(texture.info.faces, expected.faces);
        if (expected.levels != "n/a") {
            EXPECT_EQ(std::to_string(texture.info.levels), expected.levels);
        }

        TextureInfo headerOnly;
        ASSERT_EQ(pictavo::ReadTextureInfo(path.string(), headerOnly), TextureError::kNone);
        ExpectSameInfo(headerOnly, texture.info);
        const Bytes bytes = ReadBytes(path);
        Texture fromMemory;
        ASSERT_EQ(pictavo::ReadTexture(bytes, fromMemory), TextureError::kNone);
        EXPECT_EQ(fromMemory.images, texture.images);
    }
}

// IWI written back in its own version and DDS (cube maps as DDS cube maps) hold the same
// levels; a written single-level file ends its offset table as the games' files do. Formats
// no IWI holds are refused as IWI.
TEST_F(TextureCorpusTest, WrittenFilesReadBackWithTheSameLevels) {
    TempDir out;
    for (const Expected& expected : files_) {
        SCOPED_TRACE(expected.file);
        Texture texture;
        if (expected.refused || pictavo::ReadTexture((corpus_ / expected.file).string(), texture) !=
                                    TextureError::kNone) {
            continue;
        }
        const TextureInfo& info = texture.info;
        const std::string dds = out.File("t.dds");
        ASSERT_EQ(pictavo::WriteDds(texture, dds), TextureError::kNone);
        Texture fromDds;
        ASSERT_EQ(pictavo::ReadTexture(dds, fromDds), TextureError::kNone);
        ExpectSameInfo(fromDds.info, info);
        EXPECT_EQ(fromDds.images, texture.images);

        const std::uint8_t version = info.container == pictavo::Container::kDds ? 6
                                     : info.version == 9                        ? 8
                                                                                : info.version;
        const std::string iwi = out.File("t.iwi");
        if (!pictavo::FindFormat(info.format)->inIwi) {
            EXPECT_EQ(pictavo::WriteIwi(texture, version, iwi), TextureError::kNoIwiFormat);
            continue;
        }
        ASSERT_EQ(pictavo::WriteIwi(texture, version, iwi), TextureError::kNone);
        Texture fromIwi;
        ASSERT_EQ(pictavo::ReadTexture(iwi, fromIwi), TextureError::kNone);
        ExpectSameInfo(fromIwi.info, info);
        EXPECT_EQ(fromIwi.images, texture.images);
        if (info.container == pictavo::Container::kIwi && info.levels == 1 &&
            TextureLayout::Of(info).spareBytes == 0) {
            EXPECT_EQ(TextureLayout::Of(fromIwi.info).offsets[0], fromIwi.info.fileSize);
            const bool usageMarks = version != 8;
            EXPECT_EQ(fromIwi.info.usage, usageMarks ? info.usage | 0x02 : info.usage);
        }
    }
}

// Cut anywhere, a small real file is refused, never read as something else.
TEST_F(TextureCorpusTest, EveryTruncatedPrefixOfSmallFilesIsRefused) {
    int checked = 0;
    for (const Expected& expected : files_) {
        const std::filesystem::path path = corpus_ / expected.file;
        if (expected.refused || std::filesystem::file_size(path) > 3000) {
            continue;
        }
        SCOPED_TRACE(expected.file);
        const Bytes bytes = ReadBytes(path);
        // Bytes a DDS file carries after its levels may go; none of the levels may.
        TextureInfo info;
        ASSERT_EQ(pictavo::ReadTextureInfo(path.string(), info), TextureError::kNone);
        const std::size_t needed = info.container == pictavo::Container::kDds
                                       ? bytes.size() - TextureLayout::Of(info).spareBytes
                                       : bytes.size();
        for (std::size_t length = 0; length < needed; ++length) {
            Texture texture;
            ASSERT_NE(pictavo::ReadTexture(std::span(bytes.data(), length), texture),
                      TextureError::kNone)
                << length << " bytes";
            ASSERT_TRUE(texture.images.empty());
        }
        ++checked;
    }
    EXPECT_GT(checked, 10);
}

// The one place that tells the containers apart; "iwi8" is a mod tool's own output, which no
// game reads.
TEST(TextureReader, ContainersAreToldApartByTheirFirstBytes) {
    using pictavo::Container;
    for (const auto& [start, container] :
         {std::pair<std::string, std::optional<Container>>{"IWi", Container::kIwi},
          {std::string("IWi\x1b\x0d", 5), Container::kIwi},
          {"DDS ", Container::kDds},
          {"DDS |", Container::kDds},
          {"", std::nullopt},
          {"IW", std::nullopt},
          {"iwi8", std::nullopt},
          {"DDS", std::nullopt},
          {"dds ", std::nullopt},
          {"\x89PNG", std::nullopt}}) {
        const Bytes bytes(start.begin(), start.end());
        EXPECT_EQ(pictavo::ContainerOf(bytes), container) << start;
    }
}

TEST(TextureReader, LyingHeadersAreRefusedBeforeAnythingBigIsAllocated) {
    struct Case {
        const char* what;
        Bytes file;
        TextureError error;
    };
    Bytes huge = pictavo::testing::MakeIwi({6, 13, 4, 4, 1});
    pictavo::WriteU16LE(huge.data() + 6, 0x7FFF);
    pictavo::WriteU16LE(huge.data() + 8, 0x7FFF);
    Bytes variable = pictavo::testing::MakeIwi({13, 13, 4, 4, 1});
    variable[4] = 7;
    Bytes volume = pictavo::testing::MakeIwi({8, 11, 4, 4, 1});
    volume[14] = 4;
    Bytes ddsHuge = pictavo::testing::MakeDds({});
    pictavo::WriteU32LE(ddsHuge.data() + 12, 16777217);
    Bytes ddsLevels = pictavo::testing::MakeDds({});
    pictavo::WriteU32LE(ddsLevels.data() + 28, 40);
    for (const Case& c :
         {Case{"32767 x 32767 in 44 bytes", huge, TextureError::kTruncated},
          Case{"format 7", variable, TextureError::kVariableFormat},
          Case{"depth 4", volume, TextureError::kNoLayout},
          Case{"DDS taller than any texture", ddsHuge, TextureError::kBadSize},
          Case{"DDS with 40 levels", ddsLevels, TextureError::kBadSize},
          Case{"text", Bytes{'h', 'e', 'l', 'l', 'o'}, TextureError::kNotATexture}}) {
        Texture texture;
        EXPECT_EQ(pictavo::ReadTexture(c.file, texture), c.error) << c.what;
        EXPECT_STRNE(pictavo::ErrorText(c.error), "Unknown error");
    }
}

} // namespace
