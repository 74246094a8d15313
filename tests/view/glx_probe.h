#pragma once

// Whether the window system lists a swap-control extension the view could use; false where
// there is none to ask (no X11 display).
bool WindowSystemListsSwapControl();
