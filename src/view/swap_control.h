#pragma once

#include <functional>
#include <string_view>

class QOpenGLContext;
class QOpenGLWidget;
class QWidget;

// The platform's swap-interval call for the window that holds `view`, or an empty function
// when the platform does not list its swap-control extension: GLX_EXT_swap_control or
// GLX_MESA_swap_control in the GLX extension string on X11, WGL_EXT_swap_control in the
// context's extension string (`glExtensions`) on Windows. Elsewhere always empty.
std::function<void(int interval)> LookUpSwapControl(QOpenGLContext& context,
                                                    std::string_view glExtensions, QWidget& view);

// Asks Qt for `interval` through the surface formats, for `view` and for every window made
// from now on, so for the window that will hold `view` if it has not been shown yet. Qt
// sets a window's interval itself when it first draws it, through whichever swap-control
// extension the driver offers, and would otherwise reset an interval set before to 1.
void RequestSwapInterval(QOpenGLWidget& view, int interval);
