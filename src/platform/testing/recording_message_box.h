#pragma once

#include "platform/message_box.h"

#include <vector>

// Keeps every box it is asked to show instead of showing it.
class RecordingMessageBox final : public MessageBoxService {
public:
    void Show(const MessageBoxRequest& request) override { shown.push_back(request); }

    std::vector<MessageBoxRequest> shown;
};
