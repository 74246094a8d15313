// The 2D mode on a real context: frames read back against the decoder's texels, the texel
// readout, the mouse, and the plane and cube left as they were.
#include "gl_view_fixture.h"
#include "image_files.h"
#include "pictures.h"
#include "platform/testing/recording_message_box.h"
#include "settings/app_settings.h"
#include "texture/encode.h"
#include "texture/texture_reader.h"
#include "texture/texture_writer.h"
#include "view/inspect_bar.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QtGui/qopengl.h>
#include <cmath>
#include <filesystem>
#include <optional>

namespace pictavo::testing {
namespace {

using ViewMode = COpenGLControl::ViewMode;

// A picture of `levels` levels (a full chain when 0) in BGRA8, written as an IWI file.
std::filesystem::path WritePicture(const TempDir& dir, const std::string& name, std::uint32_t width,
                                   std::uint32_t height, bool alpha) {
    Texture texture;
    EncodeSettings settings;
    settings.format = kFormatBgra8;
    EXPECT_TRUE(EncodeTexture(TestPicture(width, height, alpha), settings, texture));
    const std::filesystem::path path = dir.File(name);
    EXPECT_EQ(WriteIwi(texture, 8, path.string()), TextureError::kNone);
    return path;
}

RgbaImage DecodeFile(const std::filesystem::path& path, std::uint32_t level, std::uint32_t face) {
    Texture texture;
    RgbaImage image;
    EXPECT_EQ(ReadTexture(path.string(), texture), TextureError::kNone);
    EXPECT_TRUE(DecodeLevel(*FindFormat(texture.info.format), texture.info.LevelWidth(level),
                            texture.info.LevelHeight(level), texture.Image(level, face), image));
    return image;
}

TexelColour TexelOf(const RgbaImage& image, int x, int y) {
    const std::uint8_t* at = image.pixels.data() + (std::size_t(y) * image.width + x) * 4;
    return {at[0], at[1], at[2], at[3]};
}

// Whether the centre of pixel `pixel` falls on an edge between texels, where either may be
// sampled.
bool OnTexelEdge(int pixel, double origin, double scale) {
    const double texels = (pixel + 0.5 - origin) / scale;
    return std::abs(texels - std::round(texels)) * scale < 0.01;
}

Rgb CheckerAt(int x, int y) {
    const int grey = (x / 8 + y / 8) % 2 == 0 ? 204 : 153;
    return {grey, grey, grey};
}

Rgb Blend(const TexelColour& c, Rgb under) {
    const auto mix = [&](int top, int bottom) {
        return (top * c[3] + bottom * (255 - c[3])) / 255;
    };
    return {mix(c[0], under.r), mix(c[1], under.g), mix(c[2], under.b)};
}

class FlatViewTest : public ViewTest {
protected:
    // Loads the file as the list loads an entry, then shows the 2D mode.
    void Show(const std::filesystem::path& file) {
        VarnelLoader& loader = Control().Loader();
        loader.rootPath = file.parent_path().string();
        loader.rawImagesLayout = false;
        Control().makeCurrent();
        loader.LoadWrapper(file.filename().string());
        ASSERT_TRUE(boxes_.shown.empty()) << boxes_.shown.front().text;
        Control().ImageChanged();
        Control().SetViewMode(ViewMode::kFlat);
    }

    // Pixels inside the image and below the overlay that differ from what `expected` gives
    // for their texel by more than `tolerance`; `checked` counts the pixels looked at.
    int Mismatches(const Frame& frame, const RgbaImage& level,
                   const std::function<Rgb(const TexelColour&, int x, int y)>& expected,
                   int tolerance, int& checked) {
        const FlatViewport& viewport = Control().Viewport();
        const DeviceRect rect = viewport.ImageRect();
        const double scale = viewport.PixelsPerTexel();
        int mismatches = 0;
        checked = 0;
        for (int y = std::max(kBelowOverlay, int(std::ceil(rect.top)));
             y < std::min(frame.Height(), int(std::floor(rect.bottom))); ++y) {
            for (int x = std::max(0, int(std::ceil(rect.left)));
                 x < std::min(frame.Width(), int(std::floor(rect.right))); ++x) {
                if (OnTexelEdge(x, rect.left, scale) || OnTexelEdge(y, rect.top, scale)) {
                    continue;
                }
                const int tx = int(std::floor((x + 0.5 - rect.left) / scale));
                const int ty = int(std::floor((y + 0.5 - rect.top) / scale));
                ++checked;
                mismatches +=
                    !Near(frame.At(x, y), expected(TexelOf(level, tx, ty), x, y), tolerance);
            }
        }
        return mismatches;
    }

    void MoveMouse(QPointF at, Qt::MouseButtons buttons = Qt::NoButton) {
        QMouseEvent move(QEvent::MouseMove, at, Control().mapToGlobal(at), Qt::NoButton, buttons,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(&Control(), &move);
    }
    void TurnWheel(QPointF at, int angle) {
        QWheelEvent wheel(at, Control().mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&Control(), &wheel);
    }

    static Rgb Colour(const TexelColour& c) { return {c[0], c[1], c[2]}; }

    RecordingMessageBox boxes_;
    ScopedReplacement<MessageBoxService> replacement_{boxes_};
    TempDir dir_;
};

TEST_F(FlatViewTest, AtOneToOneAndZoomedEachPixelIsItsTexel) {
    const auto file = WritePicture(dir_, "opaque.iwi", 128, 96, false);
    Show(file);
    const RgbaImage level = DecodeFile(file, 0, 0);
    for (const double zoom : {1.0, 4.0}) {
        Control().ShowActualSize();
        Control().ZoomBy(zoom);
        ASSERT_DOUBLE_EQ(Control().Viewport().PixelsPerTexel(), zoom);
        int checked = 0;
        const auto colour = [](const TexelColour& c, int, int) { return Colour(c); };
        EXPECT_EQ(Mismatches(DrawFrame(), level, colour, 0, checked), 0) << "zoom " << zoom;
        // Sharp 4 x 4 blocks: every pixel of a block is its texel's exact colour.
        EXPECT_GT(checked, zoom == 1 ? 128 * 96 - 1 : 300 * 300) << "zoom " << zoom;
    }
}

struct ChannelCase {
    const char* name;
    Channels channels;
    std::function<Rgb(const TexelColour&, int x, int y)> expected;
};

void PrintTo(const ChannelCase& c, std::ostream* out) {
    *out << c.name;
}

class FlatChannelTest : public FlatViewTest, public ::testing::WithParamInterface<ChannelCase> {};

TEST_P(FlatChannelTest, ChannelsAndAlphaOverTheCheckerboard) {
    const auto file = WritePicture(dir_, "alpha.iwi", 128, 128, true);
    Show(file);
    const RgbaImage level = DecodeFile(file, 0, 0);
    int translucent = 0;
    for (std::size_t i = 3; i < level.pixels.size(); i += 4) {
        translucent += level.pixels[i] < 128;
    }
    ASSERT_GT(translucent, 1000) << "the picture must let the checkerboard through";
    Control().ShowActualSize();
    DrawFrame(); // every channel, the level uploaded
    const unsigned int texture = Control().FlatTexture();
    Control().SetChannels(GetParam().channels);
    int checked = 0;
    EXPECT_EQ(Mismatches(DrawFrame(), level, GetParam().expected, 2, checked), 0);
    EXPECT_EQ(checked, 128 * 128);

    // The switch picked channels from the same texture: it still holds the level as decoded.
    EXPECT_EQ(Control().FlatTexture(), texture);
    Control().makeCurrent();
    glBindTexture(GL_TEXTURE_2D, texture);
    std::vector<std::uint8_t> held(level.pixels.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, held.data());
    EXPECT_TRUE(held == level.pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, FlatChannelTest,
    ::testing::Values(
        ChannelCase{"RGBA", kAllChannels,
                    [](const TexelColour& c, int x, int y) { return Blend(c, CheckerAt(x, y)); }},
        ChannelCase{"RGB", kColourWithoutAlpha,
                    [](const TexelColour& c, int, int) {
                        return Rgb{c[0], c[1], c[2]};
                    }},
        ChannelCase{"R",
                    {true, false, false, false},
                    [](const TexelColour& c, int, int) {
                        return Rgb{c[0], c[0], c[0]};
                    }},
        ChannelCase{"B",
                    {false, false, true, false},
                    [](const TexelColour& c, int, int) {
                        return Rgb{c[2], c[2], c[2]};
                    }},
        ChannelCase{"A",
                    {false, false, false, true},
                    [](const TexelColour& c, int, int) {
                        return Rgb{c[3], c[3], c[3]};
                    }},
        ChannelCase{"GA", {false, true, false, true}, [](const TexelColour& c, int x, int y) {
                        return Blend({0, c[1], 0, c[3]}, CheckerAt(x, y));
                    }}));

struct LevelCase {
    const char* file; // below the corpus; empty for a picture made here
    int level;
    int face;
};

void PrintTo(const LevelCase& c, std::ostream* out) {
    *out << (*c.file != 0 ? c.file : "made here") << " level " << c.level << " face " << c.face;
}

class FlatLevelTest : public FlatViewTest, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(FlatLevelTest, AChosenLevelAndFaceShowTheirTexels) {
    std::filesystem::path file;
    if (*GetParam().file == 0) {
        file = WritePicture(dir_, "chain.iwi", 256, 128, false);
    } else {
        file = CorpusDir() / GetParam().file;
        if (CorpusDir().empty() || !std::filesystem::exists(file)) {
            GTEST_SKIP() << "corpus file " << GetParam().file << " not present";
        }
    }
    Show(file);
    Control().FitToWindow();
    const Frame first = DrawFrame();
    const double width =
        Control().Viewport().ImageRect().right - Control().Viewport().ImageRect().left;

    Control().SetLevel(GetParam().level);
    Control().SetCubeFace(GetParam().face);
    ASSERT_EQ(Control().Level(), GetParam().level);
    ASSERT_EQ(Control().CubeFace(), GetParam().face);
    const DeviceRect rect = Control().Viewport().ImageRect();
    EXPECT_NEAR(rect.right - rect.left, width, 1e-9) << "the image keeps its size on screen";

    const RgbaImage level =
        DecodeFile(file, std::uint32_t(GetParam().level), std::uint32_t(GetParam().face));
    const auto colour = [](const TexelColour& c, int x, int y) {
        return Blend(c, CheckerAt(x, y)); // opaque texels cover the checkerboard
    };
    int checked = 0;
    if (Control().Viewport().PixelsPerTexel() >= 1) { // nearest: exact
        const Frame zoomed = DrawFrame();
        EXPECT_EQ(Mismatches(zoomed, level, colour, 2, checked), 0);
        EXPECT_GT(zoomed.CountDifferences(first, 8, kBelowOverlay), 1000);
    }
    Control().ShowActualSize();
    EXPECT_EQ(Mismatches(DrawFrame(), level, colour, 2, checked), 0);
    EXPECT_GE(checked, int(std::min(level.width * level.height, 10000u)));
}

INSTANTIATE_TEST_SUITE_P(
    Choices, FlatLevelTest,
    ::testing::Values(LevelCase{"", 2, 0}, LevelCase{"", 5, 0},
                      LevelCase{"iwi_kinds/v13_DXT5_cube/skybox_mp_havoc_ft.iwi", 0, 3},
                      LevelCase{"iwi_kinds/v8_DXT1_cube/so_hunted_ft.iwi", 0, 5},
                      LevelCase{"iwi_kinds/v8_DXT1_mip/loadscreen_airport.iwi", 3, 0}));

// Mouse positions across the image and just beyond its edges, within the view.
std::vector<QPointF> PointsOver(const DeviceRect& rect, double ratio) {
    std::vector<QPointF> points;
    const auto add = [&](double x, double y) {
        points.emplace_back(std::clamp(x, 0.0, 399.75) / ratio,
                            std::clamp(y, 64.0, 399.75) / ratio);
    };
    const double width = rect.right - rect.left;
    const double height = rect.bottom - rect.top;
    for (const auto& [u, v] : {std::pair{0.001, 0.5},
                               {0.31, 0.1},
                               {0.5, 0.5},
                               {0.77, 0.93},
                               {0.999, 0.999},
                               {0.62, 0.37}}) {
        add(rect.left + u * width, rect.top + v * height);
    }
    add(rect.left - 1.5, rect.top + height / 2);
    add(rect.left + width / 2, rect.bottom + 0.5);
    return points;
}

class FlatReadoutTest : public FlatViewTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(FlatReadoutTest, TheTexelUnderTheCursorAsDecodedAtEveryZoom) {
    std::filesystem::path file;
    if (*GetParam() == 0) {
        file = WritePicture(dir_, "readout.iwi", 150, 70, true);
    } else {
        file = CorpusDir() / GetParam();
        if (CorpusDir().empty() || !std::filesystem::exists(file)) {
            GTEST_SKIP() << "corpus file " << GetParam() << " not present";
        }
    }
    std::optional<TexelReadout> heard;
    int calls = 0;
    Control().SetTexelListener([&](const std::optional<TexelReadout>& readout) {
        heard = readout;
        ++calls;
    });
    Show(file);
    const RgbaImage level = DecodeFile(file, 0, 0);
    const double ratio = Control().devicePixelRatioF();

    int inside = 0;
    for (const double zoom : {0.0, 1.0, 4.0, 0.37}) {
        if (zoom == 0) {
            Control().FitToWindow();
        } else {
            Control().ShowActualSize();
            Control().ZoomBy(zoom);
        }
        const Frame frame = DrawFrame();
        const DeviceRect rect = Control().Viewport().ImageRect();
        const double scale = Control().Viewport().PixelsPerTexel();
        for (const QPointF at : PointsOver(rect, ratio)) {
            MoveMouse(at);
            const double deviceX = std::floor(at.x() * ratio) + 0.5;
            const double deviceY = std::floor(at.y() * ratio) + 0.5;
            const double tx = std::floor((deviceX - rect.left) / scale);
            const double ty = std::floor((deviceY - rect.top) / scale);
            SCOPED_TRACE(::testing::Message()
                         << "zoom " << zoom << " at " << at.x() << ", " << at.y());
            if (tx < 0 || ty < 0 || tx >= level.width || ty >= level.height) {
                EXPECT_FALSE(heard.has_value());
                continue;
            }
            ++inside;
            ASSERT_TRUE(heard.has_value());
            EXPECT_EQ(heard->position, (TexelPosition{std::uint32_t(tx), std::uint32_t(ty)}));
            const TexelColour texel = TexelOf(level, int(tx), int(ty));
            EXPECT_EQ(heard->colour, texel);
            if (scale >= 1 && deviceY >= kBelowOverlay &&
                !OnTexelEdge(int(deviceX), rect.left, scale) &&
                !OnTexelEdge(int(deviceY), rect.top, scale)) { // drawn nearest: the same colour
                EXPECT_TRUE(Near(frame.At(int(deviceX), int(deviceY)),
                                 Blend(texel, CheckerAt(int(deviceX), int(deviceY))), 2));
            }
        }
    }
    EXPECT_GT(inside, 20);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&Control(), &leave);
    EXPECT_FALSE(heard.has_value());
    const int before = calls;
    MoveMouse({200, 200});
    Control().SetViewMode(ViewMode::kPlane);
    EXPECT_FALSE(heard.has_value()) << "the readout ends with the 2D mode";
    EXPECT_EQ(calls, before + 2);
}

INSTANTIATE_TEST_SUITE_P(Files, FlatReadoutTest,
                         ::testing::Values("", "iwi_kinds/v8_DXT1_nomip/preview_bloc.iwi",
                                           "iwi_kinds/v6_DXT5_nomip/hud_square_round_left.iwi",
                                           "iwi_kinds/v6_RGB24_nomip/surf_banner.iwi",
                                           "iwi_kinds/v8_ARGB32_nomip/cardtitle_flag_poland.iwi"));

TEST_F(FlatViewTest, WheelZoomsAboutTheCursorAndDragPansIn2DOnly) {
    Show(WritePicture(dir_, "mouse.iwi", 64, 64, false));
    std::optional<TexelReadout> heard;
    Control().SetTexelListener([&](const std::optional<TexelReadout>& r) { heard = r; });
    Control().ShowActualSize();
    const QPointF at(180, 190);
    MoveMouse(at);
    ASSERT_TRUE(heard.has_value());
    const TexelReadout before = *heard;
    TurnWheel(at, 120);
    EXPECT_DOUBLE_EQ(Control().Viewport().PixelsPerTexel(), std::sqrt(2.0));
    TurnWheel(at, 3 * 120);
    EXPECT_NEAR(Control().Viewport().PixelsPerTexel(), 4, 1e-12);
    EXPECT_EQ(heard, before) << "the texel under the cursor stays under it";

    const DeviceRect start = Control().Viewport().ImageRect();
    MoveMouse({170, 185}, Qt::LeftButton);
    const DeviceRect panned = Control().Viewport().ImageRect();
    EXPECT_DOUBLE_EQ(panned.left - start.left, -10 * Control().devicePixelRatioF());
    EXPECT_DOUBLE_EQ(panned.top - start.top, -5 * Control().devicePixelRatioF());
    const double scale = Control().Viewport().PixelsPerTexel();
    const float distance = Control().Camera().distance;
    const float rotationY = Control().Camera().rotationY;
    EXPECT_EQ(rotationY, 0.0f) << "a 2D drag leaves the camera alone";

    // The plane: the wheel does nothing, a left drag rotates as it always has.
    Control().SetViewMode(ViewMode::kPlane);
    TurnWheel(at, 120);
    MoveMouse({180, 185}, Qt::LeftButton);
    EXPECT_EQ(Control().Viewport().ImageRect().left, panned.left);
    EXPECT_EQ(Control().Viewport().PixelsPerTexel(), scale);
    EXPECT_EQ(Control().Camera().distance, distance);
    EXPECT_FLOAT_EQ(Control().Camera().rotationY, 5.0f); // 0.5 degrees per pixel, from 170
}

TEST_F(FlatViewTest, PlaneAndCubeFramesAreUnchangedByAVisitTo2D) {
    Show(WritePicture(dir_, "scene.iwi", 128, 64, true));
    for (const ViewMode mode : {ViewMode::kPlane, ViewMode::kCube}) {
        Control().SetViewMode(mode);
        EXPECT_EQ(theSettings.new_3DCubeView, mode == ViewMode::kCube);
        EXPECT_EQ(Control().Mode(), mode);
        const Frame before = DrawFrame();
        Control().SetViewMode(ViewMode::kFlat);
        EXPECT_EQ(Control().Mode(), ViewMode::kFlat);
        const Frame flat = DrawFrame();
        Control().SetViewMode(mode);
        const Frame after = DrawFrame();
        EXPECT_GT(flat.CountDifferences(before, 8), 1000);
        EXPECT_EQ(after.CountDifferences(before, 0), 0);
    }
}

TEST_F(FlatViewTest, BeforeAnyFileTheStartupPictureAfterAFailedLoadNothing) {
    Control().SetViewMode(ViewMode::kFlat);
    ASSERT_NE(Control().InspectedTexture(), nullptr);
    EXPECT_EQ(Control().InspectedTexture()->info.width, 256u);
    const Frame startup = DrawFrame();
    EXPECT_GT(startup.Count([](Rgb p) { return !Near(p, kDefaultBackground, 8); }, kBelowOverlay),
              10000);

    const std::string broken = dir_.File("broken.iwi");
    WriteBytes(broken, Bytes{'I', 'W', 'i', 6, 11});
    VarnelLoader& loader = Control().Loader();
    loader.rootPath = dir_.path().string();
    loader.rawImagesLayout = false;
    Control().makeCurrent();
    loader.LoadWrapper("broken.iwi");
    Control().ImageChanged();
    EXPECT_EQ(Control().InspectedTexture()->info.width, 256u) << "the picture stays";
    EXPECT_EQ(DrawFrame().CountDifferences(startup, 0), 0);

    boxes_.shown.clear();
    Show(WritePicture(dir_, "good.iwi", 32, 32, false)); // a file read replaces the picture
    ASSERT_EQ(Control().InspectedTexture()->info.width, 32u);
    boxes_.shown.clear();
    loader.LoadWrapper("broken.iwi");
    Control().ImageChanged();
    EXPECT_FALSE(boxes_.shown.empty());
    EXPECT_EQ(Control().InspectedTexture(), nullptr);
    const Frame nothing = DrawFrame();
    EXPECT_EQ(nothing.Count([](Rgb p) { return !Near(p, kDefaultBackground, 8); }, kBelowOverlay),
              0);
}

// Face `face` of the cube maps written here, one level, as a texture of its own.
Texture CubeFacePicture(unsigned face) {
    EncodeSettings settings;
    settings.format = kFormatBgra8;
    settings.mipmaps = false; // IWI cube maps hold level 0 alone
    Texture picture;
    EXPECT_TRUE(EncodeTexture(TestPicture(32, 32, false, face + 1), settings, picture));
    return picture;
}

std::filesystem::path WriteIwiFile(const TempDir& dir, const std::string& name,
                                   const Texture& texture) {
    const std::filesystem::path path = dir.File(name);
    EXPECT_EQ(WriteIwi(texture, 8, path.string()), TextureError::kNone);
    return path;
}

// Six faces of one level, every face its own picture.
std::filesystem::path WriteCube(const TempDir& dir, const std::string& name) {
    Texture cube;
    for (unsigned face = 0; face < 6; ++face) {
        const Texture one = CubeFacePicture(face);
        cube.info = one.info;
        cube.images.insert(cube.images.end(), one.images.begin(), one.images.end());
    }
    cube.info.faces = 6;
    return WriteIwiFile(dir, name, cube);
}

TEST_F(FlatViewTest, InspectBarChoosesModesLevelsFacesAndChannels) {
    InspectBar bar(Control());
    bar.show();
    const auto find = [&bar](const QString& text) {
        for (QAction* action : bar.Actions()) {
            if (action->text() == text) {
                return action;
            }
        }
        ADD_FAILURE() << "no action " << text.toStdString();
        return bar.Actions().front();
    };
    auto* levels = bar.findChildren<QComboBox*>().at(0);
    auto* faces = bar.findChildren<QComboBox*>().at(1);
    EXPECT_FALSE(faces->isVisible()) << "the start-up picture has one face";

    Show(WriteCube(dir_, "cube.iwi"));
    Control().SetViewMode(ViewMode::kPlane);
    bar.ImageChanged();
    ASSERT_EQ(levels->count(), 1);
    EXPECT_EQ(levels->itemText(0), "0: 32 x 32");
    EXPECT_FALSE(levels->isEnabled()) << "nothing to choose";
    ASSERT_EQ(faces->count(), 6);
    EXPECT_TRUE(faces->isVisible());
    EXPECT_EQ(faces->itemText(3), "\u2212Y");
    EXPECT_TRUE(find("Plane")->isChecked());

    faces->setCurrentIndex(3);
    EXPECT_EQ(Control().CubeFace(), 3);
    EXPECT_EQ(Control().Mode(), ViewMode::kPlane) << "a face choice keeps the mode";
    EXPECT_TRUE(find("Plane")->isChecked());
    find("Cube")->trigger();
    EXPECT_TRUE(theSettings.new_3DCubeView);
    EXPECT_EQ(Control().Mode(), ViewMode::kCube);
    find("1:1")->trigger();
    EXPECT_EQ(Control().Mode(), ViewMode::kFlat);
    EXPECT_DOUBLE_EQ(Control().Viewport().PixelsPerTexel(), 1);

    find("RGB")->trigger();
    EXPECT_EQ(Control().ShownChannels(), kColourWithoutAlpha);
    EXPECT_FALSE(find("A")->isChecked());
    find("R")->trigger();
    find("G")->trigger();
    EXPECT_EQ(Control().ShownChannels(), (Channels{false, false, true, false}));
    EXPECT_FALSE(find("RGB")->isChecked());
    find("B")->trigger(); // the last one stays
    EXPECT_EQ(Control().ShownChannels(), (Channels{false, false, true, false}));
    EXPECT_TRUE(find("B")->isChecked());
    find("A")->trigger();
    EXPECT_EQ(Control().ShownChannels(), (Channels{false, false, true, true}));

    Show(WritePicture(dir_, "flat.iwi", 16, 8, false));
    bar.ImageChanged();
    EXPECT_FALSE(faces->isVisible());
    EXPECT_EQ(Control().CubeFace(), 0);
    ASSERT_EQ(levels->count(), 5);
    EXPECT_EQ(levels->itemText(4), "4: 1 x 1");
    levels->setCurrentIndex(2);
    EXPECT_EQ(Control().Level(), 2);
    Show(WritePicture(dir_, "small.iwi", 4, 4, false));
    bar.ImageChanged();
    EXPECT_EQ(levels->currentIndex(), 2) << "the level chosen stays where there is one";
    EXPECT_EQ(levels->currentText(), "2: 1 x 1");
}

TEST_F(FlatViewTest, TheChosenFaceShowsOnThePlaneAndIn2DAndTheListAgrees) {
    // Face 3 written alone: what each mode must show of the cube map's face 3.
    const std::vector<ViewMode> modes{ViewMode::kPlane, ViewMode::kFlat};
    const std::vector<int> modeActions{0, 2}; // Plane, Cube, 2D, Cross
    Show(WriteIwiFile(dir_, "face3.iwi", CubeFacePicture(3)));
    std::vector<Frame> alone;
    for (const ViewMode mode : modes) {
        Control().SetViewMode(mode);
        alone.push_back(DrawFrame());
    }

    InspectBar bar(Control());
    bar.show();
    auto* faces = bar.findChildren<QComboBox*>().at(1);
    Show(WriteCube(dir_, "cube.iwi"));
    Control().SetViewMode(ViewMode::kPlane);
    bar.ImageChanged();
    const Frame face0 = DrawFrame();
    EXPECT_GT(face0.CountDifferences(alone[0], 8, kBelowOverlay), 1000) << "faces 0 and 3 differ";
    Control().SetViewMode(ViewMode::kCube);
    const Frame cube = DrawFrame();
    Control().SetViewMode(ViewMode::kPlane);
    faces->setCurrentIndex(3);
    for (std::size_t i = 0; i < modes.size(); ++i) {
        bar.Actions().at(modeActions[i])->trigger();
        EXPECT_EQ(Control().Mode(), modes[i]);
        EXPECT_EQ(faces->currentIndex(), 3) << "mode " << i;
        EXPECT_EQ(Control().CubeFace(), 3) << "mode " << i;
        EXPECT_EQ(DrawFrame().CountDifferences(alone[i], 0, kBelowOverlay), 0) << "mode " << i;
    }

    // The cube shows all six faces whichever is chosen.
    bar.Actions().at(1)->trigger();
    EXPECT_EQ(faces->currentIndex(), 3);
    EXPECT_EQ(DrawFrame().CountDifferences(cube, 0, kBelowOverlay), 0);

    // Back on the plane, still face 3 until another is chosen.
    bar.Actions().at(0)->trigger();
    EXPECT_EQ(DrawFrame().CountDifferences(alone[0], 0, kBelowOverlay), 0);
    faces->setCurrentIndex(0);
    EXPECT_EQ(DrawFrame().CountDifferences(face0, 0, kBelowOverlay), 0);

    // The next cube map opens on the face chosen, list and view alike.
    faces->setCurrentIndex(3);
    Show(WriteCube(dir_, "next.iwi"));
    Control().SetViewMode(ViewMode::kPlane);
    bar.ImageChanged();
    EXPECT_EQ(faces->currentIndex(), 3);
    EXPECT_EQ(DrawFrame().CountDifferences(alone[0], 0, kBelowOverlay), 0);
}

} // namespace
} // namespace pictavo::testing
