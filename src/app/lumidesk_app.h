#pragma once

#include <string>
#include <vector>

class QWidget;

// The program: it runs the main dialog and ends when the dialog closes.
class CLumideskApp {
public:
    // Runs the main dialog to its end. Returns false: there is nothing left to run.
    bool InitInstance();

    // The main dialog while it exists.
    QWidget* mainWindow = nullptr;
    // Files, folders or archives named on the command line, shown at once.
    std::vector<std::string> openPaths;
};

extern CLumideskApp theApp;
