#pragma once

#include "platform/replaceable.h"

#include <string>

class QWidget;

enum class MessageIcon { None, Information, Exclamation, Error };

struct MessageBoxRequest {
    std::string caption;
    std::string text;
    MessageIcon icon = MessageIcon::None;
    QWidget* owner = nullptr; // none: the box belongs to no window
};

// Modal boxes: a message with one OK button, or a question answered Yes or No.
class MessageBoxService : public pictavo::Replaceable<MessageBoxService> {
public:
    virtual ~MessageBoxService() = default;
    virtual void Show(const MessageBoxRequest& request) = 0;
    // True for Yes. No is the default button, and closing the box answers No.
    virtual bool Ask(const MessageBoxRequest& request) = 0;

    static MessageBoxService& Default();
};

void ShowMessageBox(const std::string& caption, const std::string& text,
                    MessageIcon icon = MessageIcon::None, QWidget* owner = nullptr);
bool AskYesNo(const std::string& caption, const std::string& text,
              MessageIcon icon = MessageIcon::None, QWidget* owner = nullptr);
