#include "app/lumidesk_app.h"
#include "archive/time_zone.h"
#include "platform/app_icon.h"

#include <QApplication>

int main(int argc, char** argv) {
    // Before any thread starts: it changes the environment.
    pictavo::KeepTimeZoneLoaded();
    QApplication application(argc, argv);
    QApplication::setWindowIcon(AppIcon());
    // Lets the desktop match the windows to the installed entry and its icon.
    QGuiApplication::setDesktopFileName("pictavo");
    // What is left once Qt has taken its own options, as the file system names it (a
    // desktop's %F may pass several files).
    for (int i = 1; i < argc; ++i)
        theApp.openPaths.emplace_back(argv[i]);
    theApp.InitInstance();
    return 0;
}
