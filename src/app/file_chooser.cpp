#include "app/file_chooser.h"

#include "app/qt_path_text.h"

#include <QFileDialog>

namespace {

class QtFileChooser final : public FileChooser {
public:
    std::vector<std::string> ChooseFilesToOpen(QWidget* owner, const std::string& title,
                                               const std::string& filter) override {
        std::vector<std::string> chosen;
        for (const QString& path : QFileDialog::getOpenFileNames(
                 owner, QString::fromStdString(title), QString(), QString::fromStdString(filter)))
            chosen.push_back(PathBytes(path));
        return chosen;
    }

    std::optional<SaveChoice> ChooseFileToSave(QWidget* owner, const std::string& title,
                                               const std::string& suggestedPath,
                                               const std::string& filters) override {
        QString filter;
        const QString path = QFileDialog::getSaveFileName(owner, QString::fromStdString(title),
                                                          PathQString(suggestedPath),
                                                          QString::fromStdString(filters), &filter);
        if (path.isEmpty())
            return std::nullopt;
        return SaveChoice{PathBytes(path), filter.toStdString()};
    }
};

} // namespace

FileChooser& FileChooser::Default() {
    static QtFileChooser qtFileChooser;
    return qtFileChooser;
}
