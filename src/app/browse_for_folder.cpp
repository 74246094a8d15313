#include "app/browse_for_folder.h"

#include "platform/folder_browser.h"
#include "platform/message_box.h"
#include "settings/app_settings.h"

#include <optional>

namespace {

constexpr char kPathTooLong[] =
    "The path of this folder is too long. Please choose one of at most 259 characters.";

} // namespace

int BrowseForFolder(QWidget* owner, const char* initialFolder, std::string& output,
                    const std::string& title) {
    output.clear();
    std::optional<std::string> chosen = FolderBrowser::Current().ChooseFolder(
        owner, title, initialFolder != nullptr ? initialFolder : "");
    if (!chosen || chosen->empty())
        return 0;
    if (chosen->size() >= kTextBufferSize) {
        // Kept, it would be cut short or lost at the next start: say so instead.
        ShowMessageBox("Varnel", kPathTooLong, MessageIcon::Exclamation, owner);
        return 0;
    }
    output = std::move(*chosen);
    return 1;
}
