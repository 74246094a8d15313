#include "platform/shell_opener.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace {

class QtShellOpener final : public ShellOpener {
public:
    bool Open(const std::string& target) override {
        return QDesktopServices::openUrl(ShellTargetUrl(target));
    }
};

} // namespace

ShellOpener& ShellOpener::Default() {
    static QtShellOpener qtShellOpener;
    return qtShellOpener;
}

QUrl ShellTargetUrl(const std::string& target) {
    return QUrl::fromUserInput(QString::fromStdString(target), QDir::currentPath(),
                               QUrl::AssumeLocalFile);
}
