// The one file that sees the window-system headers: X11's None macro must not meet the
// settings header.
#include "view/swap_control.h"

#include "view/gl_extensions.h"

#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QPointer>
#include <QSurfaceFormat>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#if defined(PICTAVO_HAS_GLX) && QT_CONFIG(xcb)
#include <GL/glx.h>
#endif

#if defined(_WIN32)

std::function<void(int)> LookUpSwapControl(QOpenGLContext& context, std::string_view glExtensions,
                                           QWidget&) {
    if (!HasExtension(glExtensions, "WGL_EXT_swap_control")) {
        return {};
    }
    using SwapIntervalEXT = int(__stdcall*)(int);
    const auto swapInterval =
        reinterpret_cast<SwapIntervalEXT>(context.getProcAddress("wglSwapIntervalEXT"));
    if (swapInterval == nullptr) {
        return {};
    }
    return [swapInterval](int interval) { swapInterval(interval); };
}

#elif defined(PICTAVO_HAS_GLX) && QT_CONFIG(xcb)

namespace {

template <class Function> Function GlxProc(const char* name) {
    return reinterpret_cast<Function>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

} // namespace

std::function<void(int)> LookUpSwapControl(QOpenGLContext&, std::string_view, QWidget& view) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 != nullptr ? x11->display() : nullptr;
    if (display == nullptr) {
        return {}; // not on X11, e.g. Wayland
    }
    const char* listed = glXQueryExtensionsString(display, DefaultScreen(display));
    const std::string_view glxExtensions = listed != nullptr ? listed : "";

    if (HasExtension(glxExtensions, "GLX_EXT_swap_control")) {
        using SwapIntervalEXT = void (*)(Display*, GLXDrawable, int);
        const auto swapInterval = GlxProc<SwapIntervalEXT>("glXSwapIntervalEXT");
        if (swapInterval == nullptr) {
            return {};
        }
        // The buffer swaps that reach the screen are those of the view's top-level window.
        return [swapInterval, display, window = QPointer<QWidget>(view.window())](int interval) {
            if (window) {
                swapInterval(display, GLXDrawable(window->winId()), interval);
            }
        };
    }
    if (HasExtension(glxExtensions, "GLX_MESA_swap_control")) {
        using SwapIntervalMESA = int (*)(unsigned int);
        const auto swapInterval = GlxProc<SwapIntervalMESA>("glXSwapIntervalMESA");
        if (swapInterval == nullptr) {
            return {};
        }
        return [swapInterval](int interval) { swapInterval(static_cast<unsigned int>(interval)); };
    }
    return {};
}

#else

std::function<void(int)> LookUpSwapControl(QOpenGLContext&, std::string_view, QWidget&) {
    return {};
}

#endif

void RequestSwapInterval(QOpenGLWidget& view, int interval) {
    // A widget's window takes the default format when it is made.
    QSurfaceFormat windows = QSurfaceFormat::defaultFormat();
    windows.setSwapInterval(interval);
    QSurfaceFormat::setDefaultFormat(windows);
    QSurfaceFormat own = view.format();
    own.setSwapInterval(interval);
    view.setFormat(own);
}
