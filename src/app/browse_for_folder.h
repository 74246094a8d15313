#pragma once

#include <string>

class QWidget;

// Asks the user for a folder. `initialFolder` may be nullptr. On success `output` holds the
// folder and the result is nonzero; otherwise `output` is empty and the result 0.
int BrowseForFolder(QWidget* owner, const char* initialFolder, std::string& output,
                    const std::string& title);
