#pragma once

// Whether the window system (GLX, or WGL in a current context) lists a swap-control extension
// the view could use; false where there is none to ask.
bool WindowSystemListsSwapControl();
