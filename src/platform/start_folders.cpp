#include "platform/start_folders.h"

#include "texture/utf8_path.h"

#include <QDir>
#include <filesystem>
#include <system_error>
#include <utility>

namespace pictavo {
namespace {

bool IsFolder(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(PathOf(path), error);
}

} // namespace

StartFolders::StartFolders(FolderSource gameFolder, FolderSource home)
    : gameFolder_(std::move(gameFolder)), home_(std::move(home)) {}

std::string StartFolders::For(const std::string& chooser) const {
    if (const auto used = lastUsed_.find(chooser);
        used != lastUsed_.end() && IsFolder(used->second))
        return used->second;
    if (std::string game = gameFolder_ ? gameFolder_() : std::string(); IsFolder(game))
        return game;
    return home_();
}

void StartFolders::Chose(const std::string& chooser, const std::string& chosen) {
    if (chosen.empty())
        return;
    lastUsed_[chooser] = IsFolder(chosen) ? chosen : PathText(PathOf(chosen).parent_path());
}

void StartFolders::SetGameFolder(FolderSource gameFolder) {
    gameFolder_ = std::move(gameFolder);
}

StartFolders& StartFolders::Program() {
    static StartFolders folders(
        nullptr, [] { return QDir::toNativeSeparators(QDir::homePath()).toStdString(); });
    return folders;
}

} // namespace pictavo
