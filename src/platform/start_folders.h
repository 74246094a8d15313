#pragma once

#include <functional>
#include <map>
#include <string>

namespace pictavo {

// Where the file and folder choosers open: the folder each one last used, else the active
// game's folder, else the home folder. Only folders that exist now count. Each chooser is
// known by its title.
class StartFolders {
public:
    using FolderSource = std::function<std::string()>;

    StartFolders(FolderSource gameFolder, FolderSource home);

    std::string For(const std::string& chooser) const;
    // What the chooser gave back: a folder, or a file, whose folder is remembered. Nothing
    // (a cancelled choice) changes nothing.
    void Chose(const std::string& chooser, const std::string& chosen);
    void SetGameFolder(FolderSource gameFolder);

    // The program's own, with the user's home folder; the program tells it the game's.
    static StartFolders& Program();

private:
    FolderSource gameFolder_;
    FolderSource home_;
    std::map<std::string, std::string> lastUsed_;
};

} // namespace pictavo
