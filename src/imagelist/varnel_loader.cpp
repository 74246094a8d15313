#include "varnel_loader.h"

#include "app/settings/app_settings.h"
#include "file_path.h"
#include "platform/beeper.h"
#include "platform/directory_scan.h"
#include "platform/list_box.h"
#include "platform/message_box.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

constexpr char kLoadWrapperCaption[] = "Varnel IWI Load Wrapper";
constexpr char kLoadListCaption[] = "VarnelLoader::LoadList";
constexpr char kFolderNotFound[] =
    "Folder Not Found!\n\nCheck that a valid path is set in settings for the selected game";
// Filters of this length or shorter show the whole list.
constexpr std::size_t kShortestFilter = 2;

struct GameFolder {
    bool rawImagesLayout;
};

constexpr GameFolder kGameFolders[] = {{true}, {true}, {true}, {false}, {false}};

std::string RawImagesBelow(const std::string& root) {
    const char sep = pictavo::kPathSeparator;
    return root + sep + "raw" + sep + "images";
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

// Characters, not bytes: the edit hands its text over as UTF-8.
std::size_t CharacterCount(const std::string& utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char byte) {
        return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; // not a continuation byte
    }));
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

void ShowLoadMessage(const std::string& text) {
    ShowMessageBox(kLoadWrapperCaption, text);
}

} // namespace

void VarnelLoader::SetListBox(ListBox* box) {
    listBox = box;
}

void VarnelLoader::SetGame(std::uint32_t index) {
    const auto game = static_cast<std::int32_t>(index);
    if (game == gameIndex) {
        return;
    }
    gameIndex = game;
    listLoaded = false;
    if (const std::string* path = theSettings.GamePath(game)) {
        rootPath = *path;
        rawImagesLayout = kGameFolders[index].rawImagesLayout;
    }
}

std::int32_t VarnelLoader::GetGame() const {
    return gameIndex;
}

bool VarnelLoader::IsListLoaded() const {
    return listLoaded;
}

void VarnelLoader::InvalidateList() {
    listLoaded = false;
}

std::string VarnelLoader::ImageFolder() const {
    return (rawImagesLayout ? RawImagesBelow(rootPath) : rootPath) + pictavo::kPathSeparator;
}

void VarnelLoader::LoadList() {
    if (listLoaded) {
        return;
    }
    // The layout's own folder must exist; the other check only matters for the flat layout.
    const bool rawImagesFound = IsFolder(RawImagesBelow(rootPath));
    if ((rawImagesLayout && !rawImagesFound) || (!rawImagesLayout && !IsFolder(rootPath))) {
        ShowMessageBox(kLoadListCaption, kFolderNotFound);
        return;
    }
    fileNames.clear();
    if (listBox != nullptr) {
        listBox->ResetContent();
        listBox->SetRedraw(false);
    }
    // A folder that vanished since the check ends the search like the end of the matches.
    for (const std::string& name : ScanIwiFiles(ImageFolder()).fileNames) {
        if (listBox != nullptr) {
            listBox->AddString(name);
        }
        fileNames.push_back(name);
    }
    if (listBox != nullptr) {
        listBox->SetRedraw(true);
    }
    listLoaded = true;
    fullListShown = true;
}

void VarnelLoader::ShowAll() {
    listBox->ResetContent();
    for (const std::string& name : fileNames) {
        listBox->AddString(name);
    }
}

void VarnelLoader::FilterList(const std::string& text) {
    if (listBox == nullptr) {
        return;
    }
    listBox->SetRedraw(false);
    if (CharacterCount(text) > kShortestFilter) {
        listBox->ResetContent();
        fullListShown = false;
        for (const std::string& name : fileNames) {
            if (name.find(text) != std::string::npos) {
                listBox->AddString(name);
            }
        }
    } else if (!fullListShown) {
        fullListShown = true;
        ShowAll();
    }
    listBox->SetRedraw(true);
}

bool VarnelLoader::FindNormalMap(const std::string& name) {
    std::string stem;
    if (EndsWith(name, "_c.iwi")) {
        stem = name.substr(0, name.size() - 6);
    } else if (EndsWith(name, "_col.iwi") || EndsWith(name, "_crl.iwi")) {
        stem = name.substr(0, name.size() - 8);
    } else {
        return false;
    }
    const std::string shortName = stem + "_n.iwi";
    const std::string longName = stem + "_nml.iwi";
    bool found = false;
    for (const std::string& entry : fileNames) {
        if (entry == shortName || entry == longName) {
            normalMapName = entry; // the last match wins
            found = true;
        }
    }
    return found;
}

void VarnelLoader::LoadSelected() {
    if (listBox == nullptr) {
        return;
    }
    if (const std::optional<std::string> selected = listBox->SelectedText()) {
        LoadWrapper(*selected);
    }
}

void VarnelLoader::LoadWrapper(const std::string& name) {
    LoadFrom(ImageFolder(), name);
}

void VarnelLoader::LoadFrom(const std::string& folder, const std::string& name) {
    theSettings.normalMapLoaded = false;
    theSettings.embossOn = false;
    normalMapName.clear();
    Unload();
    loadedFolder_.clear();
    loadedName_.clear();
    shownTexture_.reset();
    targetSlot = TEXTURE_SLOT_COLOR;

    loadResult = SetFile(folder + name);
    if (loadResult != IWI_OK) {
        ShowLoadMessage("SetFile Error: " + GetErrorString(loadResult));
        return;
    }
    if (GetFileType() != IWI_TYPE_IWI) {
        ShowLoadMessage("IWI::GetFileType: Not IWI");
        return;
    }
    loadResult = LoadFile();
    if (loadResult != IWI_OK) {
        ShowLoadMessage("IWI::LoadFile: " + GetErrorString(loadResult));
        return;
    }
    loadedFolder_ = folder;
    loadedName_ = name;
    // A copy of the stored bytes: cheap beside the read, and the inspector keeps it when a
    // normal map replaces the levels here.
    auto shown = std::make_shared<pictavo::Texture>();
    shown->info = textureInfo;
    shown->images = levels;
    shownTexture_ = std::move(shown);
    loadResult = LoadToOpenGL();
    if (loadResult != IWI_OK) {
        ShowLoadMessage("IWI::LoadToOpenGL: " + GetErrorString(loadResult));
    }

    if (!theSettings.MergeBUMP || !FindNormalMap(name) || normalMapName.empty()) {
        return;
    }
    // The normal map replaces the colour map in this object; the colour map lives on as
    // colorTexture only. Failures here stay silent.
    Unload();
    targetSlot = TEXTURE_SLOT_NORMAL;
    if (SetFile(folder + normalMapName) == IWI_OK && GetFileType() == IWI_TYPE_IWI &&
        LoadFile() == IWI_OK && LoadToOpenGL() == IWI_OK) {
        theSettings.normalMapLoaded = true;
    }
}

void VarnelLoader::ExportConverted() {
    int result = IWI_OK;
    if (targetSlot == TEXTURE_SLOT_NORMAL) {
        // The normal map has taken the colour map's place in this object, loaded or not:
        // reload the colour map alone, export it, then bring both maps back. The entry read,
        // not the list's selection, names the colour map.
        const std::string folder = loadedFolder_;
        const std::string name = loadedName_;
        theSettings.MergeBUMP = false;
        LoadFrom(folder, name);
        result = WriteConvertedFile();
        theSettings.MergeBUMP = true;
        LoadFrom(folder, name);
    } else {
        result = WriteConvertedFile();
    }
    if (result == IWI_OK) {
        Beeper::Current().Beep();
    } else {
        ShowLoadMessage("IWI::WriteConvertedFile: " + GetErrorString(result));
    }
}

std::shared_ptr<const pictavo::Texture> VarnelLoader::ShownTexture() const {
    return shownTexture_;
}

void VarnelLoader::ClearDefaultImageShown() {
    theSettings.defaultImageShown = false;
}
