#include "platform/app_icon.h"

QIcon AppIcon() {
    // Built into the program from res/pictavo.png.
    return QIcon(QStringLiteral(":/pictavo/pictavo.png"));
}
