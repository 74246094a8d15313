// The material mode: the colour map lit by its normal and specular maps, and the light the
// modder moves.
#include "view/opengl_control.h"

#include <QMouseEvent>
#include <QtGui/qopengl.h>
#include <algorithm>

namespace {

// Degrees the light turns and rises per logical pixel of a drag.
constexpr float kLightDegreesPerPixel = 0.5f;
constexpr float kLowestElevation = 5.0f;

} // namespace

MaterialSettings& COpenGLControl::Material() {
    return materialSettings_;
}

void COpenGLControl::SetMaterialMaps(std::shared_ptr<const pictavo::Texture> normal,
                                     std::shared_ptr<const pictavo::Texture> specular) {
    normalMap_ = std::move(normal);
    specularMap_ = std::move(specular);
}

void COpenGLControl::DrawMaterial() {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // The sphere keeps its roundness; the plane and the cube take the image's proportions.
    if (materialSettings_.shape != MaterialShape::kSphere) {
        ScaleToImage();
    }
    // A closed shape shows its outside only: half the shading work, and no inner faces lit
    // as if they were outer ones. The plane shows from both sides.
    if (materialSettings_.shape != MaterialShape::kPlane) {
        glEnable(GL_CULL_FACE);
    }
    materialRenderer_.SetMaps(TextureOnDisplay(), normalMap_, specularMap_, Level(), CubeFace());
    materialRenderer_.Draw(materialSettings_);
    glPopAttrib();
}

bool COpenGLControl::MoveLight(const QMouseEvent& event) {
    const ViewPoint at{event.position().x(), event.position().y()};
    const bool dragging = material_ && event.buttons().testFlag(Qt::LeftButton) &&
                          event.modifiers().testFlag(Qt::ShiftModifier);
    if (!dragging) {
        return false;
    }
    if (flatMouse_) {
        pictavo::LightAngles& light = materialSettings_.light;
        light.azimuthDegrees -= float(at.x - flatMouse_->x) * kLightDegreesPerPixel;
        light.elevationDegrees =
            std::clamp(light.elevationDegrees - float(at.y - flatMouse_->y) * kLightDegreesPerPixel,
                       kLowestElevation, 90.0f);
    }
    flatMouse_ = at;
    // The cameras follow the cursor without turning, so the next plain drag starts here.
    OnMouseMove({}, float(at.x), float(at.y));
    return true;
}

pictavo::RgbaImage COpenGLControl::ReadFrame() {
    pictavo::RgbaImage frame;
    if (!MakeContextCurrent()) {
        return frame;
    }
    const qreal ratio = devicePixelRatioF();
    frame.width = std::uint32_t(qRound(width() * ratio));
    frame.height = std::uint32_t(qRound(height() * ratio));
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (flat_) {
        DrawFlat();
    } else if (!ShowsNothing()) {
        DrawScene();
    }
    std::vector<std::uint8_t> rows(std::size_t(frame.width) * frame.height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, GLsizei(frame.width), GLsizei(frame.height), GL_RGBA, GL_UNSIGNED_BYTE,
                 rows.data());
    // OpenGL's rows run bottom up; the frame is opaque whatever the blending left in alpha.
    frame.pixels.resize(rows.size());
    const std::size_t stride = std::size_t(frame.width) * 4;
    for (std::uint32_t row = 0; row < frame.height; ++row) {
        std::copy_n(&rows[(frame.height - 1 - row) * stride], stride, &frame.pixels[row * stride]);
    }
    for (std::size_t alpha = 3; alpha < frame.pixels.size(); alpha += 4) {
        frame.pixels[alpha] = 255;
    }
    return frame;
}
