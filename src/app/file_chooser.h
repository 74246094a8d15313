#pragma once

#include "platform/replaceable.h"

#include <optional>
#include <string>
#include <vector>

class QWidget;

// Lets the user pick files to open or a file to write, starting where StartFolders says;
// tests put a script in its place.
class FileChooser : public pictavo::Replaceable<FileChooser> {
public:
    virtual ~FileChooser() = default;
    // The chosen files, none when the user cancelled. `filter` as Qt's file dialogs take it.
    virtual std::vector<std::string> ChooseFilesToOpen(QWidget* owner, const std::string& title,
                                                       const std::string& filter) = 0;
    // The file to write and the filter the user left chosen; none when cancelled.
    struct SaveChoice {
        std::string path;
        std::string filter;
    };
    virtual std::optional<SaveChoice> ChooseFileToSave(QWidget* owner, const std::string& title,
                                                       const std::string& suggestedPath,
                                                       const std::string& filters) = 0;

    static FileChooser& Default();
};
