// The control's context on a real display: the fixed state, the tables, the font lists, the
// start-up picture's texture, the projection, and the life of the context.
#include "gl_view_fixture.h"
#include "glx_probe.h"
#include "platform/message_box.h"
#include "view/bitmap_font.h"
#include "view/gl_extensions.h"
#include "view/startup_picture.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QPointer>
#include <QTest>
#include <QWindow>
#include <QtGui/qopengl.h>
#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>
#ifdef _WIN32
#include <windows.h>
#endif

namespace pictavo::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::FloatEq;

template <std::size_t N> std::array<float, N> LightValues(GLenum light, GLenum name) {
    std::array<float, 4> values{};
    glGetLightfv(light, name, values.data());
    std::array<float, N> result{};
    std::copy_n(values.begin(), N, result.begin());
    return result;
}

int Integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

using ContextTest = ViewTest;

TEST_F(ContextTest, InitGlPutsTheFixedStateInPlace) {
    Control().makeCurrent();
    for (GLenum capability :
         {GL_COLOR_MATERIAL, GL_TEXTURE_2D, GL_BLEND, GL_DEPTH_TEST, GL_LIGHT1, GL_LIGHTING}) {
        EXPECT_TRUE(glIsEnabled(capability)) << std::hex << capability;
    }
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(Integer(GL_DEPTH_FUNC), GL_LEQUAL);
    EXPECT_EQ(Integer(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(Integer(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(Integer(GL_FRONT_FACE), GL_CCW);
    EXPECT_EQ(Integer(GL_CULL_FACE_MODE), GL_BACK);
    EXPECT_EQ(Integer(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_EQ(Integer(GL_PERSPECTIVE_CORRECTION_HINT), GL_NICEST);
    EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_MODELVIEW);
    GLfloat depth = 0;
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &depth);
    EXPECT_EQ(depth, 1.0f);

    EXPECT_THAT(LightValues<4>(GL_LIGHT1, GL_AMBIENT),
                ElementsAre(FloatEq(0.2f), FloatEq(0.2f), FloatEq(0.2f), FloatEq(1)));
    EXPECT_THAT(LightValues<4>(GL_LIGHT1, GL_DIFFUSE),
                ElementsAre(FloatEq(0.5f), FloatEq(0.5f), FloatEq(0.5f), FloatEq(1)));
    EXPECT_THAT(LightValues<4>(GL_LIGHT1, GL_POSITION),
                ElementsAre(FloatEq(0), FloatEq(0), FloatEq(2), FloatEq(1)));
    EXPECT_THAT(LightValues<3>(GL_LIGHT1, GL_SPOT_DIRECTION),
                ElementsAre(FloatEq(0), FloatEq(0), FloatEq(1)));
    EXPECT_THAT(LightValues<4>(GL_LIGHT0, GL_SPECULAR),
                ElementsAre(FloatEq(1), FloatEq(1), FloatEq(1), FloatEq(1)));
    // Light 1 keeps OpenGL's black specular colour, so no highlight shows.
    EXPECT_THAT(LightValues<4>(GL_LIGHT1, GL_SPECULAR),
                ElementsAre(FloatEq(0), FloatEq(0), FloatEq(0), FloatEq(1)));

    std::array<float, 4> specular{};
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, specular.data());
    EXPECT_THAT(specular, ElementsAre(FloatEq(1), FloatEq(1), FloatEq(1), FloatEq(1)));
    GLfloat shininess = 0;
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_EQ(shininess, 10.0f);
}

TEST_F(ContextTest, TablesAreFilledFromTheContext) {
    EXPECT_TRUE(gl::Api().Complete());
    EXPECT_NE(theGLExtensions.glMultiTexCoord2fARB, nullptr);
    EXPECT_NE(theGLExtensions.glActiveTextureARB, nullptr);
    EXPECT_NE(theGLExtensions.glClientActiveTextureARB, nullptr);
    Control().makeCurrent();
    EXPECT_EQ(theGLExtensions.swapControlAvailable, WindowSystemListsSwapControl());
}

TEST_F(ContextTest, VsyncIsSafeWhateverThePlatformOffers) {
    // Under Xvfb no swap control is listed, and calling one would crash.
    Control().SetVsync(1);
    Control().SetVsync(0);
    EXPECT_EQ(theGLExtensions.swapControlAvailable,
              static_cast<bool>(theGLExtensions.swapInterval));
}

TEST_F(ContextTest, FontListsCoverCharacters0To254) {
    Control().makeCurrent();
    for (unsigned c = 0; c < 255; ++c) {
        EXPECT_TRUE(glIsList(COpenGLControl::kFontListBase + c)) << c;
    }
    EXPECT_FALSE(glIsList(COpenGLControl::kFontListBase + 255));
    EXPECT_FALSE(glIsList(COpenGLControl::kFontListBase - 1));
}

TEST_F(ContextTest, EachCharacterListMovesTheRasterPositionByItsAdvance) {
    Control().makeCurrent();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, kSize, 0, kSize, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const QFont font = OverlayFont();
    for (unsigned char c : {' ', 'A', 'm', '.', '\t'}) {
        glRasterPos2i(10, 10);
        GLfloat before[4] = {};
        glGetFloatv(GL_CURRENT_RASTER_POSITION, before);
        glCallList(COpenGLControl::kFontListBase + c);
        GLfloat after[4] = {};
        glGetFloatv(GL_CURRENT_RASTER_POSITION, after);
        EXPECT_FLOAT_EQ(after[0] - before[0], RasterizeGlyph(font, c).advance) << int(c);
        EXPECT_FLOAT_EQ(after[1], before[1]) << int(c);
    }
    EXPECT_GT(RasterizeGlyph(font, ' ').advance, 0.0f);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

TEST_F(ContextTest, UploadDefaultImageShowsTheStartupPicture) {
    theSettings.normalMapLoaded = true;
    theSettings.embossOn = true;
    UploadSolid(8, 8, {255, 0, 0}, 255, TEXTURE_SLOT_COLOR);
    EXPECT_FALSE(theSettings.defaultImageShown);
    const std::uint32_t before = Control().Loader().colorTexture;

    EXPECT_EQ(Control().UploadDefaultImage(), IWI_OK);

    const VarnelLoader& image = Control().Loader();
    EXPECT_EQ(image.width, 256);
    EXPECT_EQ(image.height, 128);
    EXPECT_FALSE(theSettings.normalMapLoaded);
    EXPECT_FALSE(theSettings.embossOn);
    EXPECT_TRUE(theSettings.defaultImageShown);

    Control().makeCurrent();
    // The replaced texture was deleted (its name may come straight back).
    EXPECT_TRUE(image.colorTexture == before || !glIsTexture(before));
    glBindTexture(GL_TEXTURE_2D, image.colorTexture);
    GLint width = 0, height = 0, format = 0, compressedSize = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_COMPRESSED_IMAGE_SIZE, &compressedSize);
    EXPECT_EQ(width, 256);
    EXPECT_EQ(height, 128);
    EXPECT_EQ(format, GL_COMPRESSED_RGBA_S3TC_DXT5_EXT);
    ASSERT_EQ(compressedSize, 32768);
    EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), GLint(image.colorTexture));
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);

    using GetCompressed = void(QOPENGLF_APIENTRYP)(GLenum, GLint, void*);
    const auto getCompressed = reinterpret_cast<GetCompressed>(
        Control().context()->getProcAddress("glGetCompressedTexImage"));
    ASSERT_NE(getCompressed, nullptr);
    std::vector<std::uint8_t> stored(32768);
    getCompressed(GL_TEXTURE_2D, 0, stored.data());
    EXPECT_TRUE(std::equal(stored.begin(), stored.end(), kStartupPicture.begin()));
}

TEST_F(ContextTest, RequestsMadeBeforeTheFirstShowTakeEffectWhenItComes) {
    DestroyControl();
    QWidget window;
    window.resize(kSize, kSize);
    auto* control = new COpenGLControl;
    control->Create(QRect(0, 0, kSize, kSize), &window);
    EXPECT_FALSE(control->isValid());
    control->SetVsync(1);
    EXPECT_EQ(control->UploadDefaultImage(), IWI_OK);
    EXPECT_TRUE(theSettings.defaultImageShown);
    EXPECT_EQ(control->Loader().width, 256);

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(control->isValid());
    control->makeCurrent();
    ASSERT_TRUE(glIsTexture(control->Loader().colorTexture));
    glBindTexture(GL_TEXTURE_2D, control->Loader().colorTexture);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 256);
}

TEST_F(ContextTest, TheWindowAsksForTheVsyncSettingBeforeItsFirstFrame) {
    DestroyControl();
    for (const bool vsync : {false, true, false}) {
        theSettings.Vsync = vsync;
        QWidget window;
        window.resize(kSize, kSize);
        auto* control = new COpenGLControl;
        control->Create(QRect(0, 0, kSize, kSize), &window);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ASSERT_TRUE(control->isValid());
        // Qt sets the window's interval from its format when it first draws it; without the
        // request that is 1, and it would undo a 0 set before.
        EXPECT_EQ(window.windowHandle()->format().swapInterval(), vsync ? 1 : 0) << vsync;
    }
}

TEST_F(ContextTest, OnSizeSetsTheViewportAndAFortyFiveDegreePerspective) {
    Control().OnSize(400, 200);
    Control().makeCurrent();
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_THAT(viewport, ElementsAre(0, 0, 400, 200));
    EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_MODELVIEW);

    // The matrix gluPerspective(45, 2, 0.1, 2000) makes.
    GLfloat m[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    const double f = 1.0 / std::tan(std::numbers::pi / 8);
    // Not "near" and "far": Windows' headers define both as macros.
    const double nearPlane = 0.1, farPlane = 2000.0;
    EXPECT_NEAR(m[0], f / 2, 1e-4);
    EXPECT_NEAR(m[5], f, 1e-4);
    EXPECT_NEAR(m[10], (farPlane + nearPlane) / (nearPlane - farPlane), 1e-5);
    EXPECT_NEAR(m[11], -1.0, 1e-6);
    EXPECT_NEAR(m[14], 2 * farPlane * nearPlane / (nearPlane - farPlane), 1e-5);
    EXPECT_NEAR(m[8], 0.0, 1e-6);
    EXPECT_NEAR(m[9], 0.0, 1e-6);
    EXPECT_NEAR(m[15], 0.0, 1e-6);

    for (const auto& [cx, cy] : {std::pair{0, 200}, {400, 0}, {-5, 100}}) {
        Control().OnSize(cx, cy);
        Control().makeCurrent();
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_THAT(viewport, ElementsAre(0, 0, 400, 200)) << cx << " x " << cy;
    }
}

TEST_F(ContextTest, LightVectorMatchesTheModelViewStackRotations) {
    Control().makeCurrent();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    for (const auto& [rx, ry] : {std::pair{0.0f, 0.0f},
                                 {30.0f, 45.0f},
                                 {-75.0f, 200.0f},
                                 {359.5f, -12.5f},
                                 {90.0f, 90.0f}}) {
        glLoadIdentity();
        glRotatef(-rx, 1, 0, 0);
        glRotatef(-ry, 0, 1, 0);
        GLfloat m[16] = {};
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        const LightVector light = ComputeLightVector(rx, ry);
        EXPECT_NEAR(light.x, 2 * m[2] + m[3], 1e-5) << rx << ", " << ry;
        EXPECT_NEAR(light.y, 2 * m[6] + m[7], 1e-5) << rx << ", " << ry;
        EXPECT_NEAR(light.z, 2 * m[10] + m[11], 1e-5) << rx << ", " << ry;
        EXPECT_FLOAT_EQ(light.w, m[15]);
    }
    glPopMatrix();
}

TEST_F(ContextTest, MouseEventsTurnAndZoomTheCamera) {
    auto move = [this](int x, int y, Qt::MouseButtons buttons) {
        QMouseEvent event(QEvent::MouseMove, QPointF(x, y), Control().mapToGlobal(QPointF(x, y)),
                          Qt::NoButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(&Control(), &event);
    };
    move(100, 100, Qt::NoButton);
    move(110, 120, Qt::LeftButton);
    EXPECT_EQ(Control().Camera().rotationX, 10.0f);
    EXPECT_EQ(Control().Camera().rotationY, 5.0f);
    move(110, 100, Qt::RightButton);
    EXPECT_FLOAT_EQ(Control().Camera().distance, 7.0f);
    theSettings.EnableZoom = 0;
    move(110, 130, Qt::RightButton);
    EXPECT_FLOAT_EQ(Control().Camera().distance, 7.0f);
}

TEST_F(ContextTest, DestroyingTheControlReleasesItsContextAndEmptiesTheTables) {
    const QPointer<QOpenGLContext> context = Control().context();
    ASSERT_FALSE(context.isNull());
    DestroyControl();
    EXPECT_TRUE(context.isNull());
    EXPECT_FALSE(gl::Api().Complete());
    EXPECT_EQ(gl::Api().DeleteTextures, nullptr);
    EXPECT_EQ(theGLExtensions.glActiveTextureARB, nullptr);
    EXPECT_FALSE(theGLExtensions.swapControlAvailable);
}

#ifdef _WIN32
// Under Wine, Qt's check of the graphics card must not start Wine's Direct3D, which costs about
// half a second of every start: the program answers for Direct3D 9, and OpenGL still draws.
// Nor are the DLLs of Qt's other renderers, dialogs, networking and cryptography loaded before
// they are called: each loaded at start adds to it.
TEST_F(ContextTest, UnderWineTheStartLoadsNeitherDirect3DNorTheDllsItDoesNotCall) {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (GetProcAddress(ntdll, "wine_get_version") == nullptr) {
        GTEST_SKIP() << "on Windows the check goes to Direct3D 9 itself, and drivers load DLLs";
    }
    Control().makeCurrent();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)); // the control's own state: its context is live
    EXPECT_EQ(QOpenGLContext::openGLModuleType(), QOpenGLContext::LibGL);
    for (const wchar_t* dll : {L"d3d9.dll", L"d3d11.dll", L"dxgi.dll", L"wined3d.dll",
                               L"comdlg32.dll", L"crypt32.dll", L"netapi32.dll", L"ws2_32.dll",
                               L"wtsapi32.dll", L"userenv.dll", L"oleaut32.dll", L"bcrypt.dll"}) {
        EXPECT_EQ(GetModuleHandleW(dll), nullptr) << QString::fromWCharArray(dll).toStdString();
    }
}
#endif

// Shows a box by writing it where the parent of a death test can read it.
class StderrMessageBox final : public MessageBoxService {
public:
    void Show(const MessageBoxRequest& request) override {
        std::fprintf(stderr, "[box caption=%s text=%s owned=%d]\n", request.caption.c_str(),
                     request.text.c_str(), request.owner != nullptr);
    }
    bool Ask(const MessageBoxRequest& request) override {
        Show(request);
        return false;
    }
};

bool RendererIsMesa() {
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext context;
    if (!context.create() || !context.makeCurrent(&surface)) {
        return false;
    }
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const bool mesa =
        version != nullptr && std::string_view(version).find("Mesa") != std::string_view::npos;
    context.doneCurrent();
    return mesa;
}

TEST(MissingExtensionDeathTest, ShowsTheMessageThenEndsWithAFailureStatus) {
#ifdef _WIN32
    GTEST_SKIP() << "Mesa's extension override does not reach a Windows program's driver";
#endif
    if (!OpenGlDisplayAvailable() || !RendererIsMesa()) {
        GTEST_SKIP() << "needs Mesa under a display, which can hide an extension";
    }
    // Mesa reads this once, at its first context: this process has made one already, the
    // death test's fresh process has not, so only there the entry leaves the string.
    const QByteArray previous = qgetenv("MESA_EXTENSION_OVERRIDE");
    qputenv("MESA_EXTENSION_OVERRIDE", "-GL_ARB_multitexture");
    EXPECT_EXIT(
        {
            StderrMessageBox box;
            ScopedReplacement<MessageBoxService> replacement(box);
            QWidget window;
            COpenGLControl* control = new COpenGLControl;
            control->Create(QRect(0, 0, 64, 64), &window);
            window.show(); // the context, and InitGL, come with the first show
        },
        ::testing::ExitedWithCode(COpenGLControl::kMissingExtensionsExitCode),
        ::testing::HasSubstr("[box caption=Varnel text=Failed To load Extensions. :( owned=1]"));
    if (previous.isEmpty()) {
        qunsetenv("MESA_EXTENSION_OVERRIDE");
    } else {
        qputenv("MESA_EXTENSION_OVERRIDE", previous);
    }
}

} // namespace
} // namespace pictavo::testing
