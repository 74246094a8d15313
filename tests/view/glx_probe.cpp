// Kept apart: the GLX headers' None macro must not meet the settings header.
#include "glx_probe.h"

#include "view/gl_extensions.h"

#include <QGuiApplication>
#include <QOpenGLContext>
#include <QtGui/qguiapplication_platform.h>

#if defined(PICTAVO_HAS_GLX) && QT_CONFIG(xcb)
#include <GL/glx.h>
#elif defined(_WIN32)
#include <windows.h>
#endif

bool WindowSystemListsSwapControl() {
#if defined(PICTAVO_HAS_GLX) && QT_CONFIG(xcb)
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->display() == nullptr) {
        return false;
    }
    const char* listed = glXQueryExtensionsString(x11->display(), DefaultScreen(x11->display()));
    const std::string_view list = listed != nullptr ? listed : "";
    return HasExtension(list, "GLX_EXT_swap_control") ||
           HasExtension(list, "GLX_MESA_swap_control");
#elif defined(_WIN32)
    // WGL lists its extensions through an entry point of its own, found in a current context.
    const QOpenGLContext* context = QOpenGLContext::currentContext();
    if (context == nullptr) {
        return false;
    }
    using ExtensionsString = const char*(WINAPI*)();
    const auto extensions =
        reinterpret_cast<ExtensionsString>(context->getProcAddress("wglGetExtensionsStringEXT"));
    const char* listed = extensions != nullptr ? extensions() : nullptr;
    return HasExtension(listed != nullptr ? listed : "", "WGL_EXT_swap_control");
#else
    return false;
#endif
}
