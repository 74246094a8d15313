#include "view/opengl_control.h"

#include "image/gl_api.h"
#include "platform/message_box.h"
#include "settings/app_settings.h"
#include "view/bitmap_font.h"
#include "view/gl_extensions.h"
#include "view/projection.h"
#include "view/startup_picture.h"
#include "view/swap_control.h"

#include <QMouseEvent>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QtGui/qopengl.h>
#include <chrono>
#include <cstdlib>
#include <string>
#include <utility>

namespace {

constexpr GLfloat kLight1Ambient[] = {0.2f, 0.2f, 0.2f, 1.0f};
constexpr GLfloat kLight1Diffuse[] = {0.5f, 0.5f, 0.5f, 1.0f};
constexpr GLfloat kLight1Position[] = {kLightPosition.x, kLightPosition.y, kLightPosition.z,
                                       kLightPosition.w};
constexpr GLfloat kLight1SpotDirection[] = {0.0f, 0.0f, 1.0f};
constexpr GLfloat kLight0Specular[] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr GLfloat kMaterialSpecular[] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr GLfloat kMaterialShininess = 10.0f;

constexpr char kExtensionsCaption[] = "Varnel";
constexpr char kExtensionsMissing[] = "Failed To load Extensions. :(";

QSurfaceFormat ViewFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile); // fixed-function drawing
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(8);
    format.setDepthBufferSize(16);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    return format;
}

GlProcLookup LookUpIn(QOpenGLContext* context) {
    return [context](const char* name) { return context->getProcAddress(name); };
}

COpenGLControl::FrameClock SecondsSince(std::chrono::steady_clock::time_point start) {
    // Counted from the control's start rather than the system's: a float of seconds since
    // boot loses the precision the frame rate needs after a few days.
    return [start] {
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        return float(elapsed.count());
    };
}

} // namespace

COpenGLControl::ContextTables::~ContextTables() {
    if (filled_) {
        gl::Api() = {};
        theGLExtensions = {};
    }
}

COpenGLControl::COpenGLControl(QWidget* parent)
    : QOpenGLWidget(parent), frameClock_(SecondsSince(std::chrono::steady_clock::now())) {
    setFormat(ViewFormat());
    // Frames are drawn by the timer, not on paint requests: keep the last one in between.
    setUpdateBehavior(QOpenGLWidget::PartialUpdate);
    // Moves without a button held still update the last mouse position.
    setMouseTracking(true);
    frameTimer_.setTimerType(Qt::PreciseTimer);
    frameTimer_.setInterval(kFramePeriodMs);
    connect(&frameTimer_, &QTimer::timeout, this, [this] { OnTimer(kFrameTimerId); });
}

COpenGLControl::~COpenGLControl() {
    // The loader deletes its textures as it goes; they belong to this context. The context
    // itself goes with the widget.
    makeCurrent();
    DeleteFlatTextures();
    if (isValid()) {
        cubeMap_.Delete();
        materialRenderer_.Release();
    }
}

void COpenGLControl::Create(const QRect& rect, QWidget* parent) {
    // Before the window and the context are made; SetVsync alone comes too late for the
    // window's first frame.
    RequestSwapInterval(*this, theSettings.Vsync ? 1 : 0);
    setParent(parent);
    setGeometry(rect);
    show();
}

void COpenGLControl::StartFrameTimer() {
    frameTimer_.start();
}

bool COpenGLControl::MakeContextCurrent() {
    if (!isValid()) {
        return false;
    }
    makeCurrent();
    return true;
}

void COpenGLControl::initializeGL() {
    InitGL();
    tables_.MarkFilled();
    const qreal ratio = devicePixelRatioF();
    OnSize(qRound(width() * ratio), qRound(height() * ratio));
    UpdateFlatWindow();
    if (std::exchange(startupTexturePending_, false)) {
        UploadStartupTexture();
    }
    if (pendingVsync_) {
        SetSwapInterval(theGLExtensions, *std::exchange(pendingVsync_, std::nullopt));
    }
}

void COpenGLControl::InitGL() {
    SetClearColour();
    glClearDepth(1.0);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK); // culling itself stays off: the cube's inside may show
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthFunc(GL_LEQUAL);

    // Given while the model-view matrix is the identity: the light sits behind the eye.
    glLightfv(GL_LIGHT1, GL_AMBIENT, kLight1Ambient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, kLight1Diffuse);
    glLightfv(GL_LIGHT1, GL_POSITION, kLight1Position);
    glLightfv(GL_LIGHT0, GL_SPECULAR, kLight0Specular);
    glLightfv(GL_LIGHT1, GL_SPOT_DIRECTION, kLight1SpotDirection);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHTING);

    glShadeModel(GL_SMOOTH);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glMatrixMode(GL_MODELVIEW);
    glMaterialfv(GL_FRONT, GL_SPECULAR, kMaterialSpecular);
    glMaterialf(GL_FRONT, GL_SHININESS, kMaterialShininess);

    FillUploadTable(LookUpIn(context()), gl::Api());
    if (!LoadExtensions()) {
        ReportMissingExtensions();
    }
    BuildFontLists(OverlayFont(), kFontListBase, kFontListCount);
    ScaleToImage();
}

bool COpenGLControl::LoadExtensions() {
    const auto* listed = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const std::string extensions = listed != nullptr ? listed : "";
    if (!LoadRequiredExtensions(extensions, LookUpIn(context()), theGLExtensions)) {
        return false;
    }
    theGLExtensions.swapInterval = LookUpSwapControl(*context(), extensions, *this);
    theGLExtensions.swapControlAvailable = static_cast<bool>(theGLExtensions.swapInterval);
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    theGLExtensions.textureSwizzle =
        HasTextureSwizzle(version != nullptr ? version : "", extensions);
    return true;
}

void COpenGLControl::ReportMissingExtensions() {
    ShowMessageBox(kExtensionsCaption, kExtensionsMissing, MessageIcon::None, this);
    // Nothing can be drawn without them; end at once, and say that it failed.
    std::_Exit(kMissingExtensionsExitCode);
}

void COpenGLControl::SetVsync(std::uint8_t value) {
    if (MakeContextCurrent()) {
        SetSwapInterval(theGLExtensions, value);
    } else {
        pendingVsync_ = value;
    }
}

int COpenGLControl::UploadDefaultImage() {
    if (MakeContextCurrent()) {
        UploadStartupTexture();
    } else {
        startupTexturePending_ = true;
    }
    loader_.width = kStartupPictureWidth;
    loader_.height = kStartupPictureHeight;
    theSettings.normalMapLoaded = false;
    theSettings.embossOn = false;
    theSettings.defaultImageShown = true;
    ImageChanged();
    return IWI_OK;
}

void COpenGLControl::UploadStartupTexture() {
    const gl::EntryPoints& api = gl::Api();
    // The name held before is replaced, so it is deleted rather than leaked.
    api.DeleteTextures(1, &loader_.colorTexture);
    api.GenTextures(1, &loader_.colorTexture);
    api.BindTexture(gl::kTexture2D, loader_.colorTexture);
    api.TexParameteri(gl::kTexture2D, gl::kTextureMinFilter, gl::kLinear);
    api.TexParameteri(gl::kTexture2D, gl::kTextureMagFilter, gl::kLinear);
    api.CompressedTexImage2DARB(gl::kTexture2D, 0, gl::kCompressedDXT5, kStartupPictureWidth,
                                kStartupPictureHeight, 0, gl::SizeI(kStartupPicture.size()),
                                kStartupPicture.data());
}

void COpenGLControl::ApplyAspectScale() {
    if (MakeContextCurrent()) {
        ScaleToImage();
    }
}

void COpenGLControl::SetClearColour() {
    const RgbColour colour = ColourFromColorRef(theSettings.color_background);
    glClearColor(colour.red, colour.green, colour.blue, 1.0f);
}

void COpenGLControl::UpdateClearColor() {
    if (MakeContextCurrent()) {
        SetClearColour();
    }
}

void COpenGLControl::UpdateTextColor() {
    textColour_ = ColourFromColorRef(theSettings.color_text);
}

VarnelLoader& COpenGLControl::Loader() {
    return loader_;
}

void COpenGLControl::LoadSelected() {
    MakeContextCurrent();
    loader_.LoadSelected();
    ImageChanged();
}

void COpenGLControl::ReloadShown() {
    MakeContextCurrent();
    loader_.ReloadShown();
    InspectTexture(/*fit=*/false);
}

void COpenGLControl::ExportConverted() {
    MakeContextCurrent();
    loader_.ExportConverted();
    // A colour map merged with its normal map is read again for the export: the same image.
    InspectTexture(/*fit=*/false);
}

void COpenGLControl::OnTimer(int id) {
    if (id != kFrameTimerId || theSettings.dialogMinimized || frameInProgress_ ||
        !MakeContextCurrent()) {
        return;
    }
    frameInProgress_ = true;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (flat_) {
        DrawFlat();
    } else if (!ShowsNothing()) {
        DrawScene();
    }
    frameCounter_.Update(frameClock_());
    BeginOverlay();
    DrawOverlay();
    EndOverlay();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glFlush();
    update(); // puts the finished frame on screen, as a buffer swap would
    frameInProgress_ = false;
}

void COpenGLControl::SetFrameClock(FrameClock clock) {
    frameClock_ = std::move(clock);
}

void COpenGLControl::OnSize(int cx, int cy) {
    if (cx <= 0 || cy <= 0 || !MakeContextCurrent()) {
        return;
    }
    glViewport(0, 0, cx, cy);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const FrustumBounds frustum =
        PerspectiveFrustum(kFieldOfViewDegrees, double(cx) / double(cy), kNearPlane, kFarPlane);
    glFrustum(frustum.left, frustum.right, frustum.bottom, frustum.top, frustum.zNear,
              frustum.zFar);
    glMatrixMode(GL_MODELVIEW);
}

void COpenGLControl::OnMouseMove(MouseButtons buttons, float x, float y) {
    const bool zoom = theSettings.EnableZoom != 0;
    // The other camera follows the cursor too, so a drag after a switch starts from here.
    ViewCamera& active = ActiveCamera();
    for (ViewCamera* camera : {&planeCamera_, &cubeCamera_, &materialCamera_}) {
        camera->MouseMove(camera == &active ? buttons : MouseButtons{}, x, y, zoom);
    }
}

bool COpenGLControl::ShowsNothing() const {
    return !theSettings.defaultImageShown && !loader_.LoadFailure().empty();
}

ViewCamera& COpenGLControl::ActiveCamera() {
    return const_cast<ViewCamera&>(std::as_const(*this).Camera());
}

const ViewCamera& COpenGLControl::Camera() const {
    if (material_) {
        return materialCamera_;
    }
    return theSettings.new_3DCubeView ? cubeCamera_ : planeCamera_;
}

const FrameCounter& COpenGLControl::Counter() const {
    return frameCounter_;
}

void COpenGLControl::resizeGL(int width, int height) {
    const qreal ratio = devicePixelRatioF();
    OnSize(qRound(width * ratio), qRound(height * ratio));
    UpdateFlatWindow();
}

void COpenGLControl::paintGL() {
    // Frames come from the timer alone; a paint request shows the last one.
}

void COpenGLControl::mouseMoveEvent(QMouseEvent* event) {
    if (flat_) {
        FlatMouseMove(*event);
        QOpenGLWidget::mouseMoveEvent(event);
        return;
    }
    if (MoveLight(*event)) {
        QOpenGLWidget::mouseMoveEvent(event);
        return;
    }
    flatMouse_ = ViewPoint{event->position().x(), event->position().y()}; // for a switch to 2D
    const Qt::MouseButtons held = event->buttons();
    OnMouseMove({held.testFlag(Qt::LeftButton), held.testFlag(Qt::RightButton)},
                float(event->position().x()), float(event->position().y()));
    QOpenGLWidget::mouseMoveEvent(event);
}
