#pragma once

#include <QObject>
#include <functional>

class COpenGLControl;
class QAction;
class QMenu;

// View > Read as 4-Byte Texels: offered for files whose bytes are 4-byte texels cut short
// (pictavo::CutTexels), it reads them as those texels rather than as the striped pixels the
// game draws, and back. The choice holds for every such file until it is turned off.
class TexelReadingAction final : public QObject {
public:
    // `shown` tells the window that the image on display was read again.
    TexelReadingAction(QMenu& menu, COpenGLControl& view, std::function<void()> shown,
                       QObject* parent);

    // Offered as the image on display allows; call after every load.
    void Update();

private:
    void Toggled(bool on);

    COpenGLControl& view_;
    std::function<void()> shown_;
    QAction* action_;
};
