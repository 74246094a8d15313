// The text overlay: switches and frame rate over the scene, in 465 x 301 units.
#include "settings/app_settings.h"
#include "view/opengl_control.h"
#include "view/overlay_text.h"

#include <QtGui/qopengl.h>
#include <array>
#include <cstdio>
#include <cstring>
#include <tuple>

void COpenGLControl::BeginOverlay() {
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, kOverlayWidth, kOverlayHeight, 0, -1, 1); // y grows downward
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glListBase(kFontListBase);
}

void COpenGLControl::DrawOverlay() {
    const OverlayState state{theSettings.MergeBUMP, theSettings.normalMapLoaded,
                             theSettings.embossOn};
    const OverlayLines lines = ComposeOverlay(state);
    std::array<std::array<char, 64>, std::tuple_size_v<decltype(lines.lines)>> texts{};
    for (std::size_t i = 0; i < lines.count; ++i) {
        const OverlayLine& line = lines.lines[i];
        if (line.showsFramesPerSecond) {
            std::snprintf(texts[i].data(), texts[i].size(), line.text,
                          double(frameCounter_.framesPerSecond));
        } else {
            std::snprintf(texts[i].data(), texts[i].size(), "%s", line.text);
        }
    }
    // A rim in a colour far from the text's first, so the text reads over any texture.
    const RgbColour rim = OutlineColour(textColour_);
    glColor4f(rim.red, rim.green, rim.blue, 1.0f);
    for (const auto& [dx, dy] : kOutlineOffsets) {
        for (std::size_t i = 0; i < lines.count; ++i) {
            PrintLine(lines.lines[i].x, lines.lines[i].y, dx, dy, texts[i].data());
        }
    }
    glColor4f(textColour_.red, textColour_.green, textColour_.blue, 1.0f);
    for (std::size_t i = 0; i < lines.count; ++i) {
        PrintLine(lines.lines[i].x, lines.lines[i].y, 0, 0, texts[i].data());
    }
}

void COpenGLControl::EndOverlay() {
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    glPopMatrix();
}

void COpenGLControl::PrintLine(int x, int y, int dx, int dy, const char* text) {
    const std::size_t length = std::strlen(text);
    if (length == 0) {
        return;
    }
    glRasterPos2i(x, y);
    // An empty bitmap moves the raster position by whole device pixels.
    glBitmap(0, 0, 0, 0, GLfloat(dx), GLfloat(dy), nullptr);
    // Character c draws display list kFontListBase + c.
    glCallLists(GLsizei(length), GL_UNSIGNED_BYTE, text);
}
