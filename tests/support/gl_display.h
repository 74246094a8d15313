#pragma once

namespace pictavo::testing {

// A real OpenGL context needs a display: false on the offscreen platform.
bool OpenGlDisplayAvailable();

} // namespace pictavo::testing
