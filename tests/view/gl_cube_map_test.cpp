// Cube maps on a real context: each face read back from the framebuffer on its own side of
// the cube, the right way round, and in its cell of the cross; IWI and DDS files alike.
#include "cubemap/cube_faces.h"
#include "gl_view_fixture.h"
#include "image_files.h"
#include "imagelist/open_plan.h"
#include "platform/testing/recording_message_box.h"
#include "settings/app_settings.h"
#include "texture/texture_writer.h"

#include <array>
#include <filesystem>

namespace pictavo::testing {
namespace {

using ViewMode = COpenGLControl::ViewMode;

// Which of red, green and blue stand out in a pixel, whatever the lighting does to its
// brightness: bit 0 red, bit 1 green, bit 2 blue.
int Hue(Rgb pixel) {
    const int brightest = std::max({pixel.r, pixel.g, pixel.b});
    if (brightest < 24) {
        return 0;
    }
    return int(pixel.r * 2 > brightest) | int(pixel.g * 2 > brightest) << 1 |
           int(pixel.b * 2 > brightest) << 2;
}

constexpr int kWhite = 7;
// Face i's colour: red, green, blue, yellow, cyan, magenta.
constexpr std::array<int, kCubeFaces> kFaceHues{1, 2, 4, 3, 6, 5};
constexpr std::uint32_t kSide = 32;

// Six faces, each its own colour with its top-left quarter white.
Texture MarkedCube() {
    Texture cube;
    cube.info.format = kFormatBgra8;
    cube.info.width = cube.info.height = kSide;
    cube.info.faces = kCubeFaces;
    cube.info.levels = 1;
    for (std::uint32_t face = 0; face < kCubeFaces; ++face) {
        Bytes bgra;
        for (std::uint32_t y = 0; y < kSide; ++y) {
            for (std::uint32_t x = 0; x < kSide; ++x) {
                const int hue = x < kSide / 2 && y < kSide / 2 ? kWhite : kFaceHues[face];
                bgra.insert(bgra.end(),
                            {std::uint8_t(hue & 4 ? 255 : 0), std::uint8_t(hue & 2 ? 255 : 0),
                             std::uint8_t(hue & 1 ? 255 : 0), 255});
            }
        }
        cube.images.push_back(std::move(bgra));
    }
    return cube;
}

struct CubeFile {
    const char* name;
    bool dds;
};

void PrintTo(const CubeFile& file, std::ostream* out) {
    *out << file.name;
}

class CubeMapViewTest : public ViewTest, public ::testing::WithParamInterface<CubeFile> {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        const Texture cube = MarkedCube();
        const std::string path = dir_.File(GetParam().name);
        ASSERT_EQ(GetParam().dds ? WriteDds(cube, path) : WriteIwi(cube, 8, path),
                  TextureError::kNone);
        // Opened as a file is, so that DDS files are listed too.
        VarnelLoader& loader = Control().Loader();
        loader.OpenList(PlanOpen({path}).list);
        loader.LoadList();
        Control().makeCurrent();
        loader.LoadWrapper(GetParam().name);
        ASSERT_TRUE(boxes_.shown.empty()) << boxes_.shown.front().text;
        Control().ImageChanged();
        Control().ApplyAspectScale();
    }

    // Turns the cube by whole quarter turns from where it started, as a left drag does.
    void Turn(int quartersAboutX, int quartersAboutY) {
        const ViewCamera& camera = Control().Camera();
        const float x = 200 + (quartersAboutY * 90 - camera.rotationY) / 0.5f;
        const float y = 200 + (quartersAboutX * 90 - camera.rotationX) / 0.5f;
        Control().OnMouseMove({}, 200, 200);
        Control().OnMouseMove({true, false}, x, y);
        ASSERT_FLOAT_EQ(Control().Camera().rotationX, float(quartersAboutX * 90));
        ASSERT_FLOAT_EQ(Control().Camera().rotationY, float(quartersAboutY * 90));
    }

    RecordingMessageBox boxes_;
    ScopedReplacement<MessageBoxService> replacement_{boxes_};
    TempDir dir_;
};

TEST_P(CubeMapViewTest, EachFaceOnItsOwnSideTheRightWayRound) {
    Control().SetViewMode(ViewMode::kCube);
    // The turns that bring each face's side to the front, for faces +X, -X, +Y, -Y, +Z, -Z.
    constexpr std::array<std::array<int, 2>, kCubeFaces> kTurns{
        {{0, -1}, {0, 1}, {1, 0}, {-1, 0}, {0, 0}, {0, 2}}};
    // The front side spans about 120 pixels either side of the centre.
    constexpr int kCentre = kSize / 2;
    constexpr int kQuarter = 60;
    for (std::uint32_t face = 0; face < kCubeFaces; ++face) {
        Turn(kTurns[face][0], kTurns[face][1]);
        const Frame frame = DrawFrame();
        SCOPED_TRACE(CubeFaceName(face));
        EXPECT_EQ(Hue(frame.At(kCentre - kQuarter, kCentre - kQuarter)), kWhite) << "top left";
        EXPECT_EQ(Hue(frame.At(kCentre + kQuarter, kCentre - kQuarter)), kFaceHues[face]);
        EXPECT_EQ(Hue(frame.At(kCentre - kQuarter, kCentre + kQuarter)), kFaceHues[face]);
        EXPECT_EQ(Hue(frame.At(kCentre + kQuarter, kCentre + kQuarter)), kFaceHues[face]);
    }
}

TEST_P(CubeMapViewTest, TheCrossHoldsEachFaceInItsCell) {
    Control().SetViewMode(ViewMode::kCross);
    EXPECT_EQ(Control().Mode(), ViewMode::kCross);
    Control().ShowActualSize();
    ASSERT_DOUBLE_EQ(Control().Viewport().PixelsPerTexel(), 1);
    Control().ZoomBy(2); // cells of 64 pixels: the cross spans 256 x 192, clear of the overlay
    const Frame frame = DrawFrame();
    const DeviceRect cross = Control().Viewport().ImageRect();
    ASSERT_DOUBLE_EQ(cross.right - cross.left, 4 * kSide * 2);
    ASSERT_GE(cross.top, kBelowOverlay);
    const double cell = kSide * 2;
    for (std::uint32_t face = 0; face < kCubeFaces; ++face) {
        SCOPED_TRACE(CubeFaceName(face));
        const CrossCell at = CrossCellOf(face);
        const int left = int(cross.left + at.column * cell);
        const int top = int(cross.top + at.row * cell);
        EXPECT_EQ(Hue(frame.At(left + 16, top + 16)), kWhite) << "top left";
        EXPECT_EQ(Hue(frame.At(left + 48, top + 48)), kFaceHues[face]);
        EXPECT_EQ(Hue(frame.At(left + 48, top + 16)), kFaceHues[face]);
    }
    // Cells without a face show the background.
    EXPECT_TRUE(Near(frame.At(int(cross.left + 32), int(cross.top + 32)), kDefaultBackground, 8));

    Control().SetViewMode(ViewMode::kFlat);
    const DeviceRect face = Control().Viewport().ImageRect();
    EXPECT_DOUBLE_EQ(face.right - face.left, kSize) << "one face, fitted";
}

INSTANTIATE_TEST_SUITE_P(Files, CubeMapViewTest,
                         ::testing::Values(CubeFile{"sky.iwi", false}, CubeFile{"sky.dds", true}));

TEST(CubeFacesTest, EdgesThatMeetInTheCrossMeetOnTheCube) {
    // Neighbours in the cross, and the faces the cube puts on their shared edge.
    EXPECT_EQ(CrossCellOf(4).column, 1u); // +Z in the middle
    EXPECT_EQ(CrossCellOf(4).row, 1u);
    EXPECT_EQ(CrossCellOf(0).column, CrossCellOf(4).column + 1); // +X right of +Z
    EXPECT_EQ(CrossCellOf(1).column + 1, CrossCellOf(4).column); // -X left of +Z
    EXPECT_EQ(CrossCellOf(5).column, CrossCellOf(0).column + 1); // -Z right of +X
    EXPECT_EQ(CrossCellOf(2).row + 1, CrossCellOf(4).row);       // +Y over +Z
    EXPECT_EQ(CrossCellOf(3).row, CrossCellOf(4).row + 1);       // -Y under +Z
    EXPECT_EQ(CubeFaceName(1), "\u2212X");
    EXPECT_EQ(CubeFaceName(6), "Face 6");
}

} // namespace
} // namespace pictavo::testing
