#pragma once

#include "platform/message_box.h"

#include <vector>

// Keeps every box it is asked to show instead of showing it; questions get `answer`.
class RecordingMessageBox final : public MessageBoxService {
public:
    void Show(const MessageBoxRequest& request) override { shown.push_back(request); }
    bool Ask(const MessageBoxRequest& request) override {
        asked.push_back(request);
        return answer;
    }

    std::vector<MessageBoxRequest> shown;
    std::vector<MessageBoxRequest> asked;
    bool answer = false; // No, as the default button
};
