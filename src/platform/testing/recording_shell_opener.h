#pragma once

#include "platform/shell_opener.h"

#include <vector>

class RecordingShellOpener final : public ShellOpener {
public:
    bool Open(const std::string& target) override {
        opened.push_back(target);
        return succeeds;
    }

    bool succeeds = true;
    std::vector<std::string> opened;
};
