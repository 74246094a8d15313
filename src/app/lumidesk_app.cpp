#include "app/lumidesk_app.h"

#include "app/lumidesk_dlg.h"

CLumideskApp theApp;

bool CLumideskApp::InitInstance() {
    CLumideskDlg dialog;
    dialog.SetStartPaths(openPaths);
    mainWindow = &dialog;
    dialog.DoModal();
    mainWindow = nullptr;
    // Nothing is saved at exit: only the settings dialog's Save stores the settings.
    return false;
}
