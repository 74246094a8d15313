#include "app/lumidesk_app.h"
#include "platform/app_icon.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setWindowIcon(AppIcon());
    // Lets the desktop match the windows to the installed entry and its icon.
    QGuiApplication::setDesktopFileName("pictavo");
    theApp.InitInstance();
    return 0;
}
