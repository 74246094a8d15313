#pragma once

#include "platform/replaceable.h"

#include <optional>
#include <string>

class QWidget;

// Lets the user pick an existing folder.
class FolderBrowser : public pictavo::Replaceable<FolderBrowser> {
public:
    virtual ~FolderBrowser() = default;
    // The chosen folder with native separators, or none when the user cancelled.
    // With an empty initialFolder it opens where StartFolders says.
    virtual std::optional<std::string> ChooseFolder(QWidget* owner, const std::string& title,
                                                    const std::string& initialFolder) = 0;

    static FolderBrowser& Default();
};
