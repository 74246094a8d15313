#include "gl_display.h"

#include <QGuiApplication>
#include <QOpenGLContext>

namespace pictavo::testing {

bool OpenGlDisplayAvailable() {
    static const bool available = [] {
        const QString platform = QGuiApplication::platformName();
        if (platform == "offscreen" || platform == "minimal")
            return false;
        QOpenGLContext context;
        return context.create();
    }();
    return available;
}

} // namespace pictavo::testing
