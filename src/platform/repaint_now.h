#pragma once

class QWidget;

// Paints a window that was just shown at once, before the caller blocks in work of its own.
// Waits a moment for the window system to put it on screen; user input stays queued.
void RepaintNow(QWidget& window);
