#include "image_files.h"
#include "texture/decode.h"
#include "texture/texture_reader.h"

#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <cstring>
#include <gtest/gtest.h>

namespace {

using pictavo::testing::CorpusDir;
using pictavo::testing::TempDir;

TEST(IwiPlugin, ReadsEveryLevelWithTheLibrarysPixels) {
    const pictavo::testing::IwiParams params{
        .version = 8, .format = 13, .width = 32, .height = 16, .levels = 4};
    TempDir dir;
    pictavo::testing::WriteBytes(dir.File("sample.iwi"), pictavo::testing::MakeIwi(params));
    const std::vector<pictavo::testing::Bytes> levels = pictavo::testing::IwiLevels(params);

    QImageReader reader(QString::fromStdString(dir.File("sample.iwi")));
    ASSERT_TRUE(reader.canRead()) << reader.errorString().toStdString();
    EXPECT_EQ(reader.format(), "iwi");
    EXPECT_EQ(reader.size(), QSize(32, 16));
    ASSERT_EQ(reader.imageCount(), 4);
    for (int level = 0; level < 4; ++level) {
        SCOPED_TRACE(level);
        ASSERT_TRUE(reader.jumpToImage(level));
        const QImage image = reader.read().convertToFormat(QImage::Format_RGBA8888);
        pictavo::RgbaImage expected;
        ASSERT_TRUE(pictavo::DecodeLevel(*pictavo::FindFormat(params.format), 32u >> level,
                                         16u >> level, levels[level], expected));
        ASSERT_EQ(image.size(), QSize(int(expected.width), int(expected.height)));
        for (int y = 0; y < image.height(); ++y) {
            EXPECT_EQ(std::memcmp(image.constScanLine(y),
                                  expected.pixels.data() + std::size_t{expected.width} * 4 * y,
                                  std::size_t{expected.width} * 4),
                      0)
                << "row " << y;
        }
    }
    EXPECT_FALSE(reader.jumpToImage(4));
}

TEST(IwiPlugin, CanStillReadOnceSizeAndImageCountWereAsked) {
    TempDir dir;
    pictavo::testing::WriteBytes(dir.File("a.iwi"), pictavo::testing::MakeIwi({.width = 8}));
    // As image viewers ask: size and count first, then whether it can read, then the image.
    QImageReader reader(QString::fromStdString(dir.File("a.iwi")));
    EXPECT_EQ(reader.size(), QSize(8, 4));
    EXPECT_EQ(reader.imageCount(), 1);
    EXPECT_TRUE(reader.canRead());
    EXPECT_EQ(reader.read().size(), QSize(8, 4)) << reader.errorString().toStdString();
    EXPECT_TRUE(reader.canRead());
}

TEST(IwiPlugin, RefusesWhatIsNoIwiAndDamagedFiles) {
    const pictavo::testing::Bytes whole =
        pictavo::testing::MakeIwi({.version = 6, .format = 11, .width = 64, .height = 64});
    TempDir dir;
    pictavo::testing::WriteBytes(dir.File("dds.iwi"), pictavo::testing::MakeDds({}));
    pictavo::testing::WriteBytes(dir.File("half.iwi"),
                                 {whole.begin(), whole.begin() + whole.size() / 2});
    QImageReader dds(QString::fromStdString(dir.File("dds.iwi")), "iwi");
    EXPECT_TRUE(dds.read().isNull());
    QImageReader half(QString::fromStdString(dir.File("half.iwi")));
    EXPECT_TRUE(half.read().isNull());
    EXPECT_EQ(half.imageCount(), 0);
}

TEST(IwiPlugin, ReadsTheCorpusWithItsSizesAndLevels) {
    const std::filesystem::path corpus = CorpusDir();
    if (corpus.empty()) {
        GTEST_SKIP() << "no corpus: set PICTAVO_CORPUS_DIR or put it beside the checkout";
    }
    int files = 0;
    for (const char* manifest : {"MANIFEST.tsv", "iwi_kinds/MANIFEST.tsv"}) {
        const std::filesystem::path relative = std::filesystem::path(manifest).parent_path();
        const std::filesystem::path folder = corpus / relative;
        // Width, height and level count sit in different columns of the two manifests.
        const std::size_t width = relative.empty() ? 6 : 5;
        for (const auto& row : pictavo::testing::ReadTsv(corpus / manifest)) {
            // Files cut into whole-block pieces hold fewer levels than their chain.
            if (row.size() < 10 || !row[0].ends_with(".iwi") || row[8] == "n/a" ||
                row[9].find("malformed") != std::string::npos ||
                row[9].find("L1-TRUNC") != std::string::npos) {
                continue;
            }
            SCOPED_TRACE(row[0]);
            ++files;
            QImageReader reader(QString::fromStdString((folder / row[0]).string()));
            ASSERT_TRUE(reader.canRead());
            const QSize size(std::stoi(row[width]), std::stoi(row[width + 1]));
            EXPECT_EQ(reader.size(), size);
            ASSERT_EQ(reader.imageCount(), std::stoi(row[8]));
            EXPECT_EQ(reader.read().size(), size);
            ASSERT_TRUE(reader.jumpToImage(reader.imageCount() - 1));
            EXPECT_FALSE(reader.read().isNull());
        }
    }
    EXPECT_GT(files, 0);
}

// Call of Duty 2 and Black Ops II files: as many images as the library finds levels.
TEST(IwiPlugin, ReadsVersions5And27) {
    const std::filesystem::path folder = CorpusDir() / "iwi_kinds_more";
    if (CorpusDir().empty() || !std::filesystem::exists(folder)) {
        GTEST_SKIP() << "no corpus: set PICTAVO_CORPUS_DIR or put it beside the checkout";
    }
    int files = 0;
    for (const auto& row : pictavo::testing::ReadTsv(folder / "MANIFEST.tsv")) {
        SCOPED_TRACE(row[0]);
        const std::string path = (folder / row[0]).string();
        pictavo::TextureInfo info;
        ASSERT_EQ(pictavo::ReadTextureInfo(path, info), pictavo::TextureError::kNone);
        QImageReader reader(QString::fromStdString(path));
        ASSERT_TRUE(reader.canRead());
        const QSize size(std::stoi(row[7]), std::stoi(row[8]));
        EXPECT_EQ(reader.size(), size);
        EXPECT_EQ(reader.imageCount(), static_cast<int>(info.levels));
        EXPECT_EQ(reader.read().size(), size);
        ++files;
    }
    EXPECT_GT(files, 50);
}

} // namespace

int main(int argc, char** argv) {
    // Only our plugin, from the build tree: the test shows what it does, not what Qt has.
    QCoreApplication::setLibraryPaths({PICTAVO_PLUGIN_ROOT});
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
