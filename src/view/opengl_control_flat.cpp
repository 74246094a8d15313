// The 2D mode: one level and face of the image, texel for texel, in an orthographic view of
// device pixels.
#include "settings/app_settings.h"
#include "view/gl_extensions.h"
#include "view/opengl_control.h"
#include "view/startup_picture.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <QtGui/qopengl.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace {

// Light and dark grey squares of this many device pixels, fixed to the screen.
constexpr int kCheckerSquare = 8;
constexpr std::uint8_t kCheckerLight = 204;
constexpr std::uint8_t kCheckerDark = 153;
// One notch of a mouse wheel (120 eighths of a degree) zooms by the square root of 2.
constexpr double kWheelUnitsPerDoubling = 240;
constexpr GLenum kTextureSwizzleRgba = 0x8E46; // GL 3.3, GL_ARB_texture_swizzle

void DrawRect(const DeviceRect& rect, const DeviceRect& texture) {
    glBegin(GL_QUADS);
    glTexCoord2d(texture.left, texture.top);
    glVertex2d(rect.left, rect.top);
    glTexCoord2d(texture.left, texture.bottom);
    glVertex2d(rect.left, rect.bottom);
    glTexCoord2d(texture.right, texture.bottom);
    glVertex2d(rect.right, rect.bottom);
    glTexCoord2d(texture.right, texture.top);
    glVertex2d(rect.right, rect.top);
    glEnd();
}

// Filters and wrapping of the bound texture.
void SetSampling(GLint magnify, GLint minify, GLint wrap) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magnify);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minify);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
}

} // namespace

void COpenGLControl::SetViewMode(ViewMode mode) {
    flat_ = mode == ViewMode::kFlat || mode == ViewMode::kCross;
    material_ = mode == ViewMode::kMaterial;
    if (!flat_ && !material_) {
        theSettings.new_3DCubeView = mode == ViewMode::kCube;
    }
    const bool cross = mode == ViewMode::kCross;
    if (cross != cross_) {
        cross_ = cross;
        flatImage_.SetCross(cross);
        viewport_.SetLevelSize(flatImage_.LevelWidth(), flatImage_.LevelHeight(),
                               /*keepScreenSize=*/false);
        flatTextureStale_ = true;
        FitToWindow();
    }
    UpdateReadout();
}

COpenGLControl::ViewMode COpenGLControl::Mode() const {
    if (flat_) {
        return cross_ ? ViewMode::kCross : ViewMode::kFlat;
    }
    if (material_) {
        return ViewMode::kMaterial;
    }
    return theSettings.new_3DCubeView ? ViewMode::kCube : ViewMode::kPlane;
}

void COpenGLControl::FitToWindow() {
    viewport_.Fit();
    fitted_ = true;
    UpdateReadout();
}

void COpenGLControl::ShowActualSize() {
    viewport_.ShowActualSize();
    fitted_ = false;
    UpdateReadout();
}

void COpenGLControl::ZoomBy(double factor) {
    viewport_.ZoomBy(factor);
    fitted_ = false;
    UpdateReadout();
}

void COpenGLControl::SetLevel(int level) {
    SelectLevelAndFace(level, flatImage_.Face());
}

void COpenGLControl::SetCubeFace(int face) {
    SelectLevelAndFace(flatImage_.Level(), face);
    ShowChosenFace();
}

void COpenGLControl::ShowChosenFace() {
    // The start-up picture has a face alone, and the loader's image is not on display.
    if (theSettings.defaultImageShown || !MakeContextCurrent()) {
        return;
    }
    loader_.ShowCubeFace(flatImage_.Face());
    // A colour map read again with its normal map is the same image.
    InspectTexture(/*fit=*/false);
}

void COpenGLControl::SelectLevelAndFace(int level, int face) {
    const int oldLevel = flatImage_.Level();
    const int oldFace = flatImage_.Face();
    flatImage_.Select(level, face);
    if (flatImage_.Level() == oldLevel && flatImage_.Face() == oldFace) {
        return;
    }
    viewport_.SetLevelSize(flatImage_.LevelWidth(), flatImage_.LevelHeight(),
                           /*keepScreenSize=*/true);
    flatTextureStale_ = true;
    UpdateReadout();
}

int COpenGLControl::Level() const {
    return flatImage_.Level();
}

int COpenGLControl::CubeFace() const {
    return flatImage_.Face();
}

void COpenGLControl::SetChannels(Channels channels) {
    if (channels == channels_) {
        return;
    }
    channels_ = channels;
    // With texture swizzles the next frame picks the channels from the same texture.
    if (!theGLExtensions.textureSwizzle) {
        flatTextureStale_ = true;
    }
}

Channels COpenGLControl::ShownChannels() const {
    return channels_;
}

void COpenGLControl::SetTexelListener(TexelListener listener) {
    texelListener_ = std::move(listener);
}

const pictavo::Texture* COpenGLControl::InspectedTexture() const {
    return flatImage_.Texture();
}

const FlatViewport& COpenGLControl::Viewport() const {
    return viewport_;
}

std::shared_ptr<const pictavo::Texture> COpenGLControl::TextureOnDisplay() const {
    return theSettings.defaultImageShown ? StartupTexture() : loader_.ShownTexture();
}

void COpenGLControl::ImageChanged() {
    InspectTexture(/*fit=*/true);
    ShowChosenFace();
}

void COpenGLControl::InspectTexture(bool fit) {
    std::shared_ptr<const pictavo::Texture> texture = TextureOnDisplay();
    if (texture.get() == flatImage_.Texture()) {
        return;
    }
    flatImage_.SetTexture(std::move(texture));
    viewport_.SetLevelSize(flatImage_.LevelWidth(), flatImage_.LevelHeight(),
                           /*keepScreenSize=*/!fit);
    flatTextureStale_ = true;
    if (fit) {
        FitToWindow();
    } else {
        UpdateReadout();
    }
}

void COpenGLControl::UpdateFlatWindow() {
    viewport_.SetWindow(width(), height(), devicePixelRatioF());
    if (fitted_) {
        viewport_.Fit();
    }
}

void COpenGLControl::FlatMouseMove(const QMouseEvent& event) {
    const ViewPoint at{event.position().x(), event.position().y()};
    // The cameras keep following the cursor, so a later 3D drag starts from here.
    OnMouseMove({}, float(at.x), float(at.y));
    if (flatMouse_ && event.buttons().testFlag(Qt::LeftButton)) {
        viewport_.Pan(at.x - flatMouse_->x, at.y - flatMouse_->y);
        fitted_ = false;
    }
    flatMouse_ = at;
    UpdateReadout();
}

void COpenGLControl::wheelEvent(QWheelEvent* event) {
    if (!flat_) {
        QOpenGLWidget::wheelEvent(event); // the 3D modes leave the wheel alone
        return;
    }
    const ViewPoint at{event->position().x(), event->position().y()};
    viewport_.ZoomAbout(std::exp2(event->angleDelta().y() / kWheelUnitsPerDoubling), at);
    fitted_ = false;
    flatMouse_ = at;
    UpdateReadout();
    event->accept();
}

void COpenGLControl::leaveEvent(QEvent* event) {
    flatMouse_.reset();
    UpdateReadout();
    QOpenGLWidget::leaveEvent(event);
}

void COpenGLControl::UpdateReadout() {
    std::optional<TexelReadout> readout;
    if (flat_ && flatMouse_) {
        if (const std::optional<TexelPosition> texel = viewport_.TexelAt(*flatMouse_)) {
            if (const std::optional<TexelColour> colour = flatImage_.TexelAt(*texel)) {
                readout = TexelReadout{*texel, *colour};
            }
        }
    }
    if (readout == readout_) {
        return;
    }
    readout_ = readout;
    if (texelListener_) {
        texelListener_(readout_);
    }
}

void COpenGLControl::DrawFlat() {
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT);
    if (flatTextureStale_) {
        UploadFlatTexture();
    }
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, viewport_.DeviceWidth(), viewport_.DeviceHeight(), 0, -1, 1); // y grows downward
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);

    if (!flatEmpty_) {
        const bool translucent = ShowsTranslucent(channels_, flatLowestAlpha_);
        if (translucent && checkerTexture_ == 0) {
            UploadCheckerboard();
        }
        if (theGLExtensions.textureSwizzle) {
            const std::array<SwizzleSource, 4> swizzle = ChannelSwizzle(channels_);
            const std::array<GLint, 4> sources{GLint(swizzle[0]), GLint(swizzle[1]),
                                               GLint(swizzle[2]), GLint(swizzle[3])};
            glBindTexture(GL_TEXTURE_2D, flatTexture_);
            glTexParameteriv(GL_TEXTURE_2D, kTextureSwizzleRgba, sources.data());
        }
        const DeviceRect image = viewport_.ImageRect();
        const double scale = viewport_.PixelsPerTexel();
        const double width = flatImage_.LevelWidth();
        const double height = flatImage_.LevelHeight();
        for (const TexelRect& piece : flatImage_.Pieces()) {
            const double right = piece.x + piece.width;
            const double bottom = piece.y + piece.height;
            DrawFlatPiece({image.left + piece.x * scale, image.top + piece.y * scale,
                           image.left + right * scale, image.top + bottom * scale},
                          {piece.x / width, piece.y / height, right / width, bottom / height},
                          translucent);
        }
    }

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

void COpenGLControl::DrawFlatPiece(const DeviceRect& rect, const DeviceRect& texels,
                                   bool translucent) {
    if (translucent) {
        glDisable(GL_BLEND);
        glBindTexture(GL_TEXTURE_2D, checkerTexture_);
        const double period = 2 * kCheckerSquare;
        DrawRect(rect, {rect.left / period, rect.top / period, rect.right / period,
                        rect.bottom / period});
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glDisable(GL_BLEND);
    }
    glBindTexture(GL_TEXTURE_2D, flatTexture_);
    DrawRect(rect, texels);
}

void COpenGLControl::UploadFlatTexture() {
    flatTextureStale_ = false;
    // A level the context cannot hold is not decoded at all: nothing shows.
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    flatEmpty_ = std::max(flatImage_.LevelWidth(), flatImage_.LevelHeight()) > GLuint(largest);
    if (flatEmpty_) {
        return;
    }
    const pictavo::RgbaImage& decoded = flatImage_.Decoded();
    flatEmpty_ = decoded.pixels.empty();
    if (flatEmpty_) {
        return;
    }
    flatLowestAlpha_ = LowestAlpha(decoded);
    // Without texture swizzles the chosen channels go up ready to draw.
    ChannelImage shown;
    if (!theGLExtensions.textureSwizzle) {
        ShowChannels(decoded, channels_, shown);
    }
    const std::uint8_t* pixels =
        theGLExtensions.textureSwizzle ? decoded.pixels.data() : shown.pixels.data();
    if (flatTexture_ == 0) {
        glGenTextures(1, &flatTexture_);
    }
    glBindTexture(GL_TEXTURE_2D, flatTexture_);
    // Texels sharp when zoomed in, smoothed by mipmaps when zoomed out.
    SetSampling(GL_NEAREST, GL_LINEAR_MIPMAP_LINEAR, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4); // RGBA rows
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, GLsizei(decoded.width), GLsizei(decoded.height), 0,
                 GL_RGBA, GL_UNSIGNED_BYTE, pixels);
}

void COpenGLControl::UploadCheckerboard() {
    std::array<std::uint8_t, 2 * kCheckerSquare * 2 * kCheckerSquare * 3> pixels{};
    for (int y = 0; y < 2 * kCheckerSquare; ++y) {
        for (int x = 0; x < 2 * kCheckerSquare; ++x) {
            const bool light = (x / kCheckerSquare + y / kCheckerSquare) % 2 == 0;
            const std::size_t at = std::size_t(y * 2 * kCheckerSquare + x) * 3;
            pixels[at] = pixels[at + 1] = pixels[at + 2] = light ? kCheckerLight : kCheckerDark;
        }
    }
    glGenTextures(1, &checkerTexture_);
    glBindTexture(GL_TEXTURE_2D, checkerTexture_);
    SetSampling(GL_NEAREST, GL_NEAREST, GL_REPEAT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, 2 * kCheckerSquare, 2 * kCheckerSquare, 0, GL_RGB,
                 GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

unsigned int COpenGLControl::FlatTexture() const {
    return flatTexture_;
}

void COpenGLControl::DeleteFlatTextures() {
    if (!isValid()) {
        return;
    }
    const std::array<GLuint, 2> names{flatTexture_, checkerTexture_};
    glDeleteTextures(GLsizei(names.size()), names.data());
    flatTexture_ = checkerTexture_ = 0;
}
