#include "image/iwi.h"
#include "image_files.h"

#include <gtest/gtest.h>

namespace {

using pictavo::testing::Bytes;
using pictavo::testing::ChainSizes;
using pictavo::testing::CorpusDir;
using pictavo::testing::ReadBytes;
using pictavo::testing::TempDir;

struct ManifestRow {
    std::string file;
    std::string version;
    std::string format;
    int width = 0;
    int height = 0;
    std::string levels;
};

std::vector<ManifestRow> ReadManifest(const std::filesystem::path& dir) {
    std::vector<ManifestRow> rows;
    for (const auto& cells : pictavo::testing::ReadTsv(dir / "MANIFEST.tsv")) {
        if (cells.size() < 9) {
            continue;
        }
        rows.push_back(
            {cells[0], cells[4], cells[5], std::stoi(cells[6]), std::stoi(cells[7]), cells[8]});
    }
    return rows;
}

// Loads a copy of a corpus file, so that exports land in a temporary folder.
int LoadCopy(IWI& image, const TempDir& dir, const std::filesystem::path& source) {
    const std::string copy = dir.File(source.filename().string());
    std::filesystem::copy_file(source, copy, std::filesystem::copy_options::overwrite_existing);
    const int set = image.SetFile(copy);
    if (set != IWI_OK) {
        return set;
    }
    image.GetFileType();
    return image.LoadFile();
}

class CorpusTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = CorpusDir();
        if (dir_.empty()) {
            GTEST_SKIP() << "no corpus folder of real game files (set PICTAVO_CORPUS_DIR)";
        }
        rows_ = ReadManifest(dir_);
        ASSERT_FALSE(rows_.empty());
    }
    std::filesystem::path dir_;
    std::vector<ManifestRow> rows_;
};

TEST_F(CorpusTest, EveryIwiFileReadsAndExportsItsLevelsInDdsOrder) {
    TempDir out;
    int checked = 0;
    for (const ManifestRow& row : rows_) {
        if (row.version == "DDS") {
            continue;
        }
        SCOPED_TRACE(row.file);
        IWI image;
        ASSERT_EQ(LoadCopy(image, out, dir_ / row.file), IWI_OK);
        EXPECT_EQ(image.width, row.width);
        EXPECT_EQ(image.height, row.height);
        ASSERT_EQ(std::to_string(image.levelCount), row.levels);
        EXPECT_EQ(std::to_string(image.IWIHeader.version), row.version);
        EXPECT_EQ(std::to_string(image.IWIHeader.format), row.format);

        ASSERT_EQ(image.WriteConvertedFile(), IWI_OK);
        const Bytes dds = ReadBytes(image.GetOutputName());
        // The level bytes, cut from the end of the original file, level 0 first.
        const Bytes original = ReadBytes(dir_ / row.file);
        Bytes expected;
        std::size_t end = original.size();
        for (const std::size_t size :
             ChainSizes(image.IWIHeader.format, row.width, row.height, image.levelCount)) {
            expected.insert(expected.end(),
                            original.begin() + static_cast<std::ptrdiff_t>(end - size),
                            original.begin() + static_cast<std::ptrdiff_t>(end));
            end -= size;
        }
        const std::size_t headerEnd = row.version == "8" ? 32 : row.version == "13" ? 48 : 28;
        EXPECT_EQ(end, headerEnd) << "the chain should end at the header";
        ASSERT_EQ(dds.size(), 128 + expected.size());
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), dds.begin() + 128));
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

TEST_F(CorpusTest, DdsFilesOfTheThreeDxtFormatsReadAndOthersAreRefused) {
    TempDir out;
    for (const ManifestRow& row : rows_) {
        if (row.version != "DDS") {
            continue;
        }
        SCOPED_TRACE(row.file);
        IWI image;
        const int result = LoadCopy(image, out, dir_ / row.file);
        const bool dxt = row.format == "DXT1" || row.format == "DXT3" || row.format == "DXT5" ||
                         row.format.find("dxgi=71") != std::string::npos;
        if (!dxt) {
            EXPECT_NE(result, IWI_OK);
            continue;
        }
        ASSERT_EQ(result, IWI_OK);
        EXPECT_EQ(image.width, row.width);
        EXPECT_EQ(image.height, row.height);
        if (row.levels != "n/a") {
            EXPECT_EQ(std::to_string(image.levelCount), row.levels);
        }
        // DDS to IWI and back gives the same levels.
        ASSERT_EQ(image.WriteConvertedFile(), IWI_OK);
        IWI back;
        ASSERT_EQ(back.SetFile(image.GetOutputName()), IWI_OK);
        back.GetFileType();
        ASSERT_EQ(back.LoadFile(), IWI_OK);
        EXPECT_EQ(back.faceCount, image.faceCount);
        EXPECT_EQ(back.levels, image.levels);
    }
}

} // namespace
