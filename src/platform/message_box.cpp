#include "platform/message_box.h"

#include <QMessageBox>
#include <QString>

namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

class QtMessageBox final : public MessageBoxService {
public:
    void Show(const MessageBoxRequest& request) override {
        QMessageBox box(ToQtIcon(request.icon), QString::fromStdString(request.caption),
                        QString::fromStdString(request.text), QMessageBox::Ok, request.owner);
        box.exec();
    }

    bool Ask(const MessageBoxRequest& request) override {
        QMessageBox box(ToQtIcon(request.icon), QString::fromStdString(request.caption),
                        QString::fromStdString(request.text), QMessageBox::Yes | QMessageBox::No,
                        request.owner);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }
};

} // namespace

MessageBoxService& MessageBoxService::Default() {
    static QtMessageBox qtMessageBox;
    return qtMessageBox;
}

void ShowMessageBox(const std::string& caption, const std::string& text, MessageIcon icon,
                    QWidget* owner) {
    MessageBoxService::Current().Show({caption, text, icon, owner});
}

bool AskYesNo(const std::string& caption, const std::string& text, MessageIcon icon,
              QWidget* owner) {
    return MessageBoxService::Current().Ask({caption, text, icon, owner});
}
