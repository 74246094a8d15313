// The text overlay: switches and frame rate over the scene, in 465 x 301 units.
#include "app/settings/app_settings.h"
#include "view/opengl_control.h"
#include "view/overlay_text.h"

#include <QtGui/qopengl.h>
#include <algorithm>
#include <cstdarg>
#include <cstdio>

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
    glColor4f(textColour_.red, textColour_.green, textColour_.blue, 1.0f);
    const OverlayState state{theSettings.MergeBUMP, theSettings.normalMapLoaded,
                             theSettings.embossOn};
    for (const OverlayLine& line : ComposeOverlay(state)) {
        if (line.showsFramesPerSecond) {
            PrintText(line.x, line.y, line.text, double(frameCounter_.framesPerSecond));
        } else {
            PrintText(line.x, line.y, "%s", line.text);
        }
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

void COpenGLControl::PrintText(int x, int y, const char* format, ...) {
    if (format == nullptr) {
        return;
    }
    char text[256];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (length <= 0) {
        return;
    }
    glRasterPos2i(x, y);
    // Character c draws display list kFontListBase + c.
    glCallLists(std::min<GLsizei>(length, GLsizei(sizeof text - 1)), GL_UNSIGNED_BYTE, text);
}
