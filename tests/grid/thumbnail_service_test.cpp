#include "grid/thumbnail_service.h"
#include "grid_textures.h"
#include "image_files.h"
#include "texture/texture_error.h"
#include "zip_builder.h"

#include <gtest/gtest.h>
#include <map>
#include <mutex>

namespace pictavo {
namespace {

namespace fs = std::filesystem;
using testing::Colour;
using testing::ColourOf;
using testing::CountingMaker;
using testing::TempDir;
using Kind = ThumbnailResult::Kind;

Colour FirstTexel(const GridThumbnail& thumbnail) {
    const std::vector<std::uint8_t>& p = thumbnail.image.pixels;
    return p.size() < 3 ? Colour{0, 0, 0} : Colour{p[0], p[1], p[2]};
}

class ThumbnailServiceTest : public ::testing::Test {
protected:
    // The results of one run of a fresh service over the test's cache folder, by id.
    std::map<std::string, ThumbnailResult> Run(std::vector<ThumbnailRequest> requests,
                                               const CountingMaker& maker) {
        std::mutex lock;
        std::map<std::string, ThumbnailResult> results;
        ThumbnailService service({dir.path() / "cache", 1 << 20, 2, maker.Maker()},
                                 [&](ThumbnailResult result) {
                                     const std::lock_guard guard(lock);
                                     results[result.id] = std::move(result);
                                 });
        service.Want(std::move(requests));
        service.WaitIdle();
        return results;
    }

    // Two files and two entries of an archive, each of its own colour.
    std::vector<ThumbnailRequest> Requests() {
        testing::WriteFlatIwi(dir.path() / "a.iwi", ColourOf(1));
        testing::WriteFlatIwi(dir.path() / "b.iwi", ColourOf(2));
        WriteArchive(ColourOf(3));
        return {{"a", {"a.iwi", dir.File("a.iwi"), {}, {}}, 64, {}, 1},
                {"b", {"b.iwi", dir.File("b.iwi"), {}, {}}, 64, {}, 1},
                {"c", {"c.iwi", {}, archive, "images/c.iwi"}, 64, {}, 1},
                {"d", {"d.iwi", {}, archive, "images/d.iwi"}, 64, {}, 1}};
    }
    void WriteArchive(Colour c) {
        testing::WriteZip(archive, {{"images/c.iwi", testing::FlatIwiBytes(c)},
                                    {"images/d.iwi", testing::FlatIwiBytes(ColourOf(4))}});
    }

    TempDir dir;
    std::string archive = dir.File("iw_00.iwd");
};

TEST_F(ThumbnailServiceTest, MakesEachThumbnailOnceAndFindsItOnDiskOnTheNextRun) {
    const std::vector<ThumbnailRequest> requests = Requests();
    const CountingMaker first;
    std::map<std::string, ThumbnailResult> results = Run(requests, first);
    EXPECT_EQ(first.Calls(), 4);
    const CountingMaker second;
    std::map<std::string, ThumbnailResult> again = Run(requests, second);
    EXPECT_EQ(second.Calls(), 0);

    int number = 1;
    for (const char* id : {"a", "b", "c", "d"}) {
        for (const ThumbnailResult& result : {results[id], again[id]}) {
            ASSERT_EQ(result.kind, Kind::kMade) << id << ": " << result.error;
            EXPECT_EQ(FirstTexel(result.thumbnail), ColourOf(number)) << id;
            EXPECT_EQ(result.thumbnail.image.width, 16u);
            EXPECT_EQ(result.thumbnail.width, 16u);
            EXPECT_EQ(result.thumbnail.format, "RGBA8");
            EXPECT_EQ(result.tag, 1u);
        }
        EXPECT_EQ(results[id].stamp, again[id].stamp);
        ++number;
    }
}

TEST_F(ThumbnailServiceTest, MakesAChangedFileOrArchiveEntryAgain) {
    std::vector<ThumbnailRequest> requests = Requests();
    const std::map<std::string, ThumbnailResult> before = Run(requests, CountingMaker());
    // Rewritten at the same size; the file's time moves on as a later save's would.
    const fs::path a = dir.path() / "a.iwi";
    const fs::file_time_type saved = fs::last_write_time(a);
    testing::WriteFlatIwi(a, ColourOf(11));
    fs::last_write_time(a, saved + std::chrono::seconds(10));
    WriteArchive(ColourOf(13));

    const CountingMaker maker;
    std::map<std::string, ThumbnailResult> after = Run(requests, maker);
    // The archive's other entry is unchanged, but its archive is not: made again too.
    EXPECT_EQ(maker.Calls(), 3);
    EXPECT_EQ(FirstTexel(after["a"].thumbnail), ColourOf(11));
    EXPECT_EQ(FirstTexel(after["b"].thumbnail), ColourOf(2));
    EXPECT_EQ(FirstTexel(after["c"].thumbnail), ColourOf(13));
    EXPECT_EQ(FirstTexel(after["d"].thumbnail), ColourOf(4));
    EXPECT_NE(after["a"].stamp, before.at("a").stamp);
    EXPECT_EQ(after["b"].stamp, before.at("b").stamp);
    EXPECT_NE(after["c"].stamp, before.at("c").stamp);

    // Held with its present stamp, nothing is made or read.
    for (ThumbnailRequest& request : requests)
        request.heldStamp = after[request.id].stamp;
    const CountingMaker none;
    for (const auto& [id, result] : Run(requests, none)) {
        EXPECT_EQ(result.kind, Kind::kUnchanged) << id;
        EXPECT_TRUE(result.thumbnail.image.pixels.empty());
    }
    EXPECT_EQ(none.Calls(), 0);
}

TEST_F(ThumbnailServiceTest, SaysWhyAnImageHasNoThumbnailAndKeepsNoneOnDisk) {
    testing::WriteBytes(dir.path() / "text.iwi", testing::Bytes(200, 'x'));
    testing::WriteZip(archive, {{"images/c.iwi", testing::FlatIwiBytes(ColourOf(3))}});
    const std::vector<ThumbnailRequest> requests = {
        {"gone", {"gone.iwi", dir.File("gone.iwi"), {}, {}}, 64, {}, 1},
        {"text", {"text.iwi", dir.File("text.iwi"), {}, {}}, 64, {}, 1},
        {"no entry", {"x.iwi", {}, archive, "images/x.iwi"}, 64, {}, 1},
    };
    for (int run = 0; run < 2; ++run) {
        const CountingMaker maker;
        std::map<std::string, ThumbnailResult> results = Run(requests, maker);
        EXPECT_EQ(maker.Calls(), 1) << "only the file that is there is read, every time";
        for (const auto& [id, result] : results)
            EXPECT_EQ(result.kind, Kind::kFailed) << id;
        EXPECT_EQ(results["gone"].error.rfind(dir.File("gone.iwi") + ": ", 0), 0u)
            << results["gone"].error;
        EXPECT_EQ(results["text"].error, ErrorText(TextureError::kNotATexture));
        EXPECT_EQ(results["no entry"].error, archive + ": images/x.iwi: no such entry");
    }
}

TEST_F(ThumbnailServiceTest, GivesAThumbnailWithinTheSizeAndTheTexturesFacts) {
    // A chain of 512 x 256 DXT1 levels, each filled with its own pattern.
    const testing::IwiParams params{6, 11, 512, 256, 10};
    testing::WriteBytes(dir.path() / "wide.iwi", testing::MakeIwi(params));
    const ImageLocation where{"wide.iwi", dir.File("wide.iwi"), {}, {}};
    for (const std::uint32_t size : {64u, 100u, 128u, 256u}) {
        std::map<std::string, ThumbnailResult> results =
            Run({{"wide", where, size, {}, 1}}, CountingMaker());
        const GridThumbnail& made = results["wide"].thumbnail;
        ASSERT_EQ(results["wide"].kind, Kind::kMade) << results["wide"].error;
        EXPECT_EQ(made.image.width, size) << size;
        EXPECT_EQ(made.image.height, (size + 1) / 2) << size;
        EXPECT_EQ(made.width, 512u);
        EXPECT_EQ(made.height, 256u);
        EXPECT_EQ(made.faces, 1u);
        EXPECT_EQ(made.format, "DXT1");
    }
}

TEST(ThumbnailServiceWorkers, LeavingACoreTakesOneThreadAwayButNeverTheLast) {
    const TempDir dir;
    struct Row {
        unsigned threads, leaving;
    };
    for (const Row row : {Row{1, 1}, Row{2, 1}, Row{4, 3}}) {
        ThumbnailService service({dir.path(), 1 << 20, row.threads, CountingMaker().Maker()},
                                 [](ThumbnailResult) {});
        EXPECT_EQ(service.Workers(), row.threads);
        service.LeaveOneCore(true);
        EXPECT_EQ(service.Workers(), row.leaving) << row.threads << " threads";
        service.LeaveOneCore(false);
        EXPECT_EQ(service.Workers(), row.threads);
    }
}

} // namespace
} // namespace pictavo
