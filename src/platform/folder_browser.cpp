#include "platform/folder_browser.h"

#include "platform/start_folders.h"

#include <QDir>
#include <QFileDialog>

namespace {

class QtFolderBrowser final : public FolderBrowser {
public:
    std::optional<std::string> ChooseFolder(QWidget* owner, const std::string& title,
                                            const std::string& initialFolder) override {
        pictavo::StartFolders& folders = pictavo::StartFolders::Program();
        const std::string start = initialFolder.empty() ? folders.For(title) : initialFolder;
        const QString folder = QFileDialog::getExistingDirectory(
            owner, QString::fromStdString(title), QString::fromStdString(start));
        if (folder.isEmpty())
            return std::nullopt;
        std::string chosen = QDir::toNativeSeparators(folder).toStdString();
        folders.Chose(title, chosen);
        return chosen;
    }
};

} // namespace

FolderBrowser& FolderBrowser::Default() {
    static QtFolderBrowser qtFolderBrowser;
    return qtFolderBrowser;
}
