#include "app/file_chooser.h"

#include "app/qt_path_text.h"
#include "platform/start_folders.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

class QtFileChooser final : public FileChooser {
public:
    std::vector<std::string> ChooseFilesToOpen(QWidget* owner, const std::string& title,
                                               const std::string& filter) override {
        pictavo::StartFolders& folders = pictavo::StartFolders::Program();
        std::vector<std::string> chosen;
        for (const QString& path : QFileDialog::getOpenFileNames(
                 owner, QString::fromStdString(title), PathQString(folders.For(title)),
                 QString::fromStdString(filter)))
            chosen.push_back(PathBytes(path));
        if (!chosen.empty())
            folders.Chose(title, chosen.front());
        return chosen;
    }

    std::optional<SaveChoice> ChooseFileToSave(QWidget* owner, const std::string& title,
                                               const std::string& suggestedPath,
                                               const std::string& filters) override {
        pictavo::StartFolders& folders = pictavo::StartFolders::Program();
        // A bare name goes into the folder the chooser starts in.
        QString suggested = PathQString(suggestedPath);
        if (QFileInfo(suggested).isRelative())
            suggested = QDir(PathQString(folders.For(title))).filePath(suggested);
        QString filter;
        const QString path =
            QFileDialog::getSaveFileName(owner, QString::fromStdString(title), suggested,
                                         QString::fromStdString(filters), &filter);
        if (path.isEmpty())
            return std::nullopt;
        folders.Chose(title, PathBytes(path));
        return SaveChoice{PathBytes(path), filter.toStdString()};
    }
};

} // namespace

FileChooser& FileChooser::Default() {
    static QtFileChooser qtFileChooser;
    return qtFileChooser;
}
