#include "app/file_chooser.h"

#include <QFile>
#include <QFileDialog>

namespace {

// File names keep the file system's bytes, whether or not they are UTF-8.
std::string NativeBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

class QtFileChooser final : public FileChooser {
public:
    std::vector<std::string> ChooseFilesToOpen(QWidget* owner, const std::string& title,
                                               const std::string& filter) override {
        std::vector<std::string> chosen;
        for (const QString& path : QFileDialog::getOpenFileNames(
                 owner, QString::fromStdString(title), QString(), QString::fromStdString(filter)))
            chosen.push_back(NativeBytes(path));
        return chosen;
    }

    std::optional<SaveChoice> ChooseFileToSave(QWidget* owner, const std::string& title,
                                               const std::string& suggestedPath,
                                               const std::string& filters) override {
        QString filter;
        const QString path = QFileDialog::getSaveFileName(owner, QString::fromStdString(title),
                                                          QFile::decodeName(suggestedPath.c_str()),
                                                          QString::fromStdString(filters), &filter);
        if (path.isEmpty())
            return std::nullopt;
        return SaveChoice{NativeBytes(path), filter.toStdString()};
    }
};

} // namespace

FileChooser& FileChooser::Default() {
    static QtFileChooser qtFileChooser;
    return qtFileChooser;
}
