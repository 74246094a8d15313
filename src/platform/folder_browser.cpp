#include "platform/folder_browser.h"

#include <QDir>
#include <QFileDialog>

namespace {

class QtFolderBrowser final : public FolderBrowser {
public:
    std::optional<std::string> ChooseFolder(QWidget* owner, const std::string& title,
                                            const std::string& initialFolder) override {
        const QString folder = QFileDialog::getExistingDirectory(
            owner, QString::fromStdString(title), QString::fromStdString(initialFolder));
        if (folder.isEmpty())
            return std::nullopt;
        return QDir::toNativeSeparators(folder).toStdString();
    }
};

} // namespace

FolderBrowser& FolderBrowser::Default() {
    static QtFolderBrowser qtFolderBrowser;
    return qtFolderBrowser;
}
