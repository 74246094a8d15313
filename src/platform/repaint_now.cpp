#include "platform/repaint_now.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <QWindow>

namespace {
constexpr int kShowWaitMilliseconds = 250;
}

void RepaintNow(QWidget& window) {
    QElapsedTimer waiting;
    waiting.start();
    while (window.windowHandle() != nullptr && !window.windowHandle()->isExposed() &&
           waiting.elapsed() < kShowWaitMilliseconds)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    window.repaint();
}
