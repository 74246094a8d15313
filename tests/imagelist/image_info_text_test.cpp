#include "image_files.h"
#include "imagelist/image_info_text.h"
#include "texture/byte_source.h"
#include "texture/texture_reader.h"

#include <gtest/gtest.h>

namespace pictavo::testing {
namespace {

TEST(ImageInfoTextTest, ByteSizes) {
    struct Case {
        std::uint64_t bytes;
        const char* text;
    };
    for (const Case& c :
         {Case{0, "0 B"}, Case{1023, "1023 B"}, Case{1024, "1 KiB"}, Case{1536, "1.5 KiB"},
          Case{4u << 20, "4 MiB"}, Case{1398101, "1.3 MiB"}, Case{3ull << 30, "3 GiB"}}) {
        EXPECT_EQ(ByteSizeText(c.bytes), c.text) << c.bytes;
    }
}

// Real files: every line the panel shows, from what the reader found.
TEST(ImageInfoTextTest, CorpusFiles) {
    const std::filesystem::path corpus = CorpusDir();
    if (corpus.empty())
        GTEST_SKIP() << "no corpus folder (PICTAVO_CORPUS_DIR)";
    struct Case {
        const char* file;
        const char* text;
    };
    const Case cases[] = {
        {"iwi_kinds/v6_DXT1_mip/i_t7_locus_bullet_c.iwi",
         "Container: IWI v6\nFormat: DXT1\nUsage: 0x00 (none)\nSize: 8 x 8\nLevels: 4\n"
         "  0: 8 x 8 (32 B)\n  1: 4 x 4 (8 B)\n  2: 2 x 2 (8 B)\n  3: 1 x 1 (8 B)\n"
         "Faces: 1\nLayout: levels smallest first, data at 28\nFile size: 84 B (84 bytes)\n"},
        {"iwi_kinds/v13_DXT5_cube/skybox_mp_havoc_ft.iwi",
         "Container: IWI v13\nFormat: DXT5\nUsage: 0x06 (no mipmaps, cube map)\n"
         "Size: 512 x 512\nLevels: 1\n  0: 512 x 512 (256 KiB)\nFaces: 6 (cube map)\n"
         "Layout: cube map, six faces back to back, data at 48\n"
         "File size: 1.5 MiB (1572912 bytes)\n"},
        {"iwi_kinds/v6_LA16_nomip/menu_mapvote_footer.iwi",
         "Container: IWI v6\nFormat: LA8\nUsage: 0xC2 (no mipmaps, other bits 0xC0)\n"
         "Size: 1430 x 105\nLevels: 1\n  0: 1430 x 105 (293.3 KiB)\nFaces: 1\n"
         "Layout: one level, data at 28\nFile size: 293.3 KiB (300328 bytes)\n"},
        {"iwi_kinds_more/iwi_v5_fmt11/health.iwi",
         "Container: IWI v5\nFormat: DXT1\nUsage: 0x03 (no mipmaps, other bits 0x01)\n"
         "Size: 512 x 512\nLevels: 1\n  0: 512 x 512 (128 KiB)\nFaces: 1\n"
         "Layout: one level, data at 28\nFile size: 128.0 KiB (131100 bytes)\n"},
        {"iwi_kinds_more/iwi_v27_fmt11/_-gzombie_vending_jugg_col.iwi",
         "Container: IWI v27\nFormat: DXT1\nUsage: 0x00 (none)\nSize: 512 x 512\nLevels: 10\n"
         "  0: 512 x 512 (128 KiB)\n  1: 256 x 256 (32 KiB)\n  2: 128 x 128 (8 KiB)\n"
         "  3: 64 x 64 (2 KiB)\n  4: 32 x 32 (512 B)\n  5: 16 x 16 (128 B)\n  6: 8 x 8 (32 B)\n"
         "  7: 4 x 4 (8 B)\n  8: 2 x 2 (8 B)\n  9: 1 x 1 (8 B)\nFaces: 1\n"
         "Layout: levels smallest first, data at 64, last 8 bytes missing (read as zeros)\n"
         "File size: 170.7 KiB (174832 bytes)\n"},
    };
    for (const Case& c : cases) {
        const std::filesystem::path path = corpus / c.file;
        TextureInfo info;
        ASSERT_EQ(ReadTextureInfo(path.string(), info), TextureError::kNone) << c.file;
        const ImageLocation file{path.filename().string(), path.string(), "", ""};
        EXPECT_EQ(ImageInfoText(info, file), std::string(c.text) + "File: " + path.string() + "\n");
        const ImageLocation entry{path.filename().string(), "", "/game/main/iw_07.iwd",
                                  "images/" + path.filename().string()};
        EXPECT_EQ(ImageInfoText(info, entry), std::string(c.text) +
                                                  "Archive: /game/main/iw_07.iwd\nEntry: images/" +
                                                  path.filename().string() + "\n");
    }
}

TEST(ImageInfoTextTest, DdsShowsNoUsageLine) {
    const Bytes file = MakeDds({FourCCOf("DXT5"), kFormatDxt5, 16, 8, 2});
    TextureInfo info;
    SpanSource source(file);
    ASSERT_EQ(ReadTextureInfo(source, info), TextureError::kNone);
    const std::string text = ImageInfoText(info, {"a.dds", "/x/a.dds", "", ""});
    EXPECT_EQ(text, "Container: DDS\nFormat: DXT5\nSize: 16 x 8\nLevels: 2\n"
                    "  0: 16 x 8 (128 B)\n  1: 8 x 4 (32 B)\nFaces: 1\n"
                    "Layout: levels largest first, data at 128\nFile size: 288 B (288 bytes)\n"
                    "File: /x/a.dds\n");
}

// As the viewer reads them: a DDS of uncompressed pixels names what it stores, not the format
// its pixels are unpacked into, and a Black Ops II format 2 file says what is wrong with it,
// however its bytes are read.
TEST(ImageInfoTextTest, StoredLayoutAndWhatIsWrongWithTheFile) {
    const auto panel = [](const Bytes& file, const ReadOptions& options = {}) {
        Texture texture;
        EXPECT_EQ(ReadTexture(file, texture, options), TextureError::kNone);
        return ImageInfoText(texture.info, {"a", "/x/a", "", ""});
    };
    const std::string dds = panel(MakeA8B8G8R8Dds(2, 1, Bytes(8, 0x80)));
    EXPECT_NE(dds.find("\nFormat: A8B8G8R8\n"), std::string::npos) << dds;
    EXPECT_EQ(dds.find("Warning"), std::string::npos) << dds;

    const Bytes cut = MakeIwi({27, 2, 8, 4, 1, 2});
    TextureInfo info;
    SpanSource source(cut);
    ASSERT_EQ(ReadTextureInfo(source, info), TextureError::kNone);
    const std::string warning = "\nWarning: " + info.WarningText() + "\n";
    const std::string asStored = panel(cut);
    EXPECT_NE(asStored.find("\nFormat: RGB8" + warning), std::string::npos) << asStored;
    const std::string asTexels = panel(cut, {.fourByteTexels = true});
    EXPECT_NE(asTexels.find("\nFormat: RGB8 read as 4-byte texels (RGBA8)" + warning),
              std::string::npos)
        << asTexels;

    if (const std::filesystem::path corpus = CorpusDir(); !corpus.empty()) {
        const std::string file = panel(
            ReadBytes(corpus / "iwi_kinds_more" / "iwi_v27_fmt2" / "fxt_light_headlight.iwi"));
        EXPECT_NE(file.find(warning), std::string::npos) << file;
    }
}

} // namespace
} // namespace pictavo::testing
