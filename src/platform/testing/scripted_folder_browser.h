#pragma once

#include "platform/folder_browser.h"

#include <vector>

// Answers every request with `answer` and keeps what was asked.
class ScriptedFolderBrowser final : public FolderBrowser {
public:
    struct Request {
        QWidget* owner;
        std::string title;
        std::string initialFolder;
    };

    std::optional<std::string> ChooseFolder(QWidget* owner, const std::string& title,
                                            const std::string& initialFolder) override {
        requests.push_back({owner, title, initialFolder});
        return answer;
    }

    std::optional<std::string> answer; // none: the user cancels
    std::vector<Request> requests;
};
