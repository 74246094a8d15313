// Real colour maps with their normal maps from the corpus, drawn plain, merged and embossed.
#include "dxt5_decoder.h"
#include "gl_view_fixture.h"
#include "image_files.h"
#include "platform/testing/recording_message_box.h"

#include <algorithm>
#include <filesystem>

namespace pictavo::testing {
namespace {

struct CorpusPair {
    const char* folder;
    const char* colourMap;
    const char* normalMap;
};

void PrintTo(const CorpusPair& pair, std::ostream* out) {
    *out << pair.folder << "/" << pair.colourMap;
}

// Whether some texel of the colour map lets what lies beneath show through.
bool HasTranslucentTexels(const std::filesystem::path& path) {
    IWI image;
    if (image.SetFile(path.string()) != IWI_OK || image.GetFileType() != IWI_TYPE_IWI ||
        image.LoadFile() != IWI_OK) {
        ADD_FAILURE() << "cannot read " << path;
        return false;
    }
    EXPECT_EQ(image.IWIHeader.format, IWI_FMT_DXT5) << "the decoder reads DXT5 only";
    const std::vector<Texel> texels =
        DecodeDxt5(image.levels.front().data(), image.width, image.height);
    return std::any_of(texels.begin(), texels.end(), [](const Texel& t) { return t.a < 250; });
}

class CorpusRenderTest : public ViewTest, public ::testing::WithParamInterface<CorpusPair> {};

TEST_P(CorpusRenderTest, MergedAndEmbossedFramesAgainstThePlainColourFrame) {
    const std::filesystem::path folder = CorpusDir() / GetParam().folder;
    if (CorpusDir().empty() || !std::filesystem::exists(folder / GetParam().colourMap)) {
        GTEST_SKIP() << "corpus file " << GetParam().folder << "/" << GetParam().colourMap
                     << " not present";
    }
    RecordingMessageBox boxes;
    ScopedReplacement<MessageBoxService> replacement(boxes);
    theSettings.MW2Path = folder.string(); // a flat folder of images
    theSettings.MergeBUMP = true;
    VarnelLoader& loader = Control().Loader();
    loader.SetGame(static_cast<std::uint32_t>(GameId::MW2));
    loader.LoadList();
    ASSERT_TRUE(loader.IsListLoaded());
    Control().makeCurrent();
    loader.LoadWrapper(GetParam().colourMap);
    ASSERT_TRUE(boxes.shown.empty()) << boxes.shown.front().text;
    ASSERT_TRUE(theSettings.normalMapLoaded);
    ASSERT_EQ(loader.fileName, GetParam().normalMap);

    theSettings.MergeBUMP = false;
    const Frame plain = DrawFrame();
    theSettings.MergeBUMP = true;
    const Frame merged = DrawFrame();
    theSettings.embossOn = true;
    const Frame embossed = DrawFrame();

    // The overlay's lines change with the switches; the image lies below them.
    EXPECT_GT(embossed.CountDifferences(plain, 16, kBelowOverlay), 5000);
    const int mergedChanges = merged.CountDifferences(plain, 4, kBelowOverlay);
    if (HasTranslucentTexels(folder / GetParam().colourMap)) {
        EXPECT_GT(mergedChanges, 200) << "the relief shows through the colour map";
    } else {
        EXPECT_EQ(mergedChanges, 0) << "an opaque colour map covers the relief";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, CorpusRenderTest,
    ::testing::Values(CorpusPair{"cod4_v6", "tom_axe_col.iwi", "tom_axe_n.iwi"},
                      CorpusPair{"iw4x_v8", "bo2_knife_col.iwi", "bo2_knife_nml.iwi"}));

} // namespace
} // namespace pictavo::testing
