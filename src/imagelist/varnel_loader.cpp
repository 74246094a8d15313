#include "imagelist/varnel_loader.h"

#include "archive/game_archives.h"
#include "archive/image_location.h"
#include "image/file_path.h"
#include "platform/beeper.h"
#include "platform/directory_scan.h"
#include "platform/folder_browser.h"
#include "platform/list_box.h"
#include "platform/message_box.h"
#include "settings/app_settings.h"
#include "texture/texture_error.h"
#include "texture/utf8_path.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <system_error>

namespace {

constexpr char kLoadWrapperCaption[] = "Varnel IWI Load Wrapper";
constexpr char kExportFolderTitle[] = "Export the image into folder";
constexpr char kLoadListCaption[] = "VarnelLoader::LoadList";
constexpr char kFolderNotFound[] =
    "Folder Not Found!\n\nCheck that a valid path is set in settings for the selected game";
// Filters of this length or shorter show the whole list.
constexpr std::size_t kShortestFilter = 2;

struct GameFolder {
    bool rawImagesLayout;
    bool packsImagesInMain; // main/*.iwd hold the images a stock install has
};

constexpr GameFolder kGameFolders[] = {
    {true, true}, {true, true}, {true, true}, {false, false}, {false, false}};

std::string RawImagesBelow(const std::string& root) {
    const char sep = pictavo::kPathSeparator;
    return root + sep + "raw" + sep + "images";
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(pictavo::PathOf(path), error);
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

// The box's first line names the step that failed; a second gives the reason the status
// line shows, unless the first says it already.
void ShowLoadMessage(const std::string& text, const std::string& reason = std::string()) {
    const bool said = reason.empty() || text.ends_with(reason);
    ShowMessageBox(kLoadWrapperCaption, said ? text : text + "\n" + reason);
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
    showsOpened_ = false;
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

bool VarnelLoader::ListGameImages(pictavo::ImageListing& listing) const {
    // The layout's own folder must exist; the other check only matters for the flat layout.
    const bool rawImagesFound = IsFolder(RawImagesBelow(rootPath));
    const bool packsImages = gameIndex >= 0 && gameIndex < std::int32_t(std::size(kGameFolders)) &&
                             kGameFolders[gameIndex].packsImagesInMain;
    const std::vector<std::string> archives =
        packsImages ? pictavo::GameArchivePaths(rootPath) : std::vector<std::string>{};
    const bool archivesFound = !archives.empty();
    const bool folderFound = rawImagesLayout ? rawImagesFound : IsFolder(rootPath);
    if (!folderFound && !archivesFound) {
        return false;
    }
    if (folderFound) {
        // A folder that vanished since the check ends the search like the end of the matches.
        const std::string folder = ImageFolder();
        for (const std::string& name : ScanIwiFiles(folder).fileNames) {
            listing.images.push_back({name, {name, folder + name, "", ""}, true});
        }
    }
    if (archivesFound) {
        pictavo::ImageListing archived = pictavo::ListGameArchiveImages(archives);
        std::move(archived.images.begin(), archived.images.end(),
                  std::back_inserter(listing.images));
        listing.problems = std::move(archived.problems);
    }
    return true;
}

pictavo::ImageListing VarnelLoader::ListOpened() const {
    using Kind = pictavo::OpenedList::Kind;
    switch (opened_.kind) {
    case Kind::kFolder:
        return pictavo::ListOpenedFolder(opened_.paths.front());
    case Kind::kArchive:
        return pictavo::ListArchiveImages(opened_.paths.front());
    case Kind::kSeveral:
        break;
    }
    return pictavo::ListSeveral(opened_.paths);
}

void VarnelLoader::LoadList() {
    if (listLoaded) {
        return;
    }
    pictavo::ImageListing listing;
    if (showsOpened_) {
        listing = ListOpened();
    } else if (!ListGameImages(listing)) {
        ShowMessageBox(kLoadListCaption, kFolderNotFound);
        return;
    }
    fileNames.clear();
    listed = std::move(listing.images);
    listProblems_ = std::move(listing.problems);
    if (listBox != nullptr) {
        listBox->ResetContent();
        listBox->SetRedraw(false);
    }
    fileNames.reserve(listed.size());
    for (const pictavo::ListedImage& image : listed) {
        if (listBox != nullptr) {
            listBox->AddString(image.text);
        }
        fileNames.push_back(image.text);
    }
    if (listBox != nullptr) {
        listBox->SetRedraw(true);
    }
    listLoaded = true;
    fullListShown = true;
    filterText_.clear();
}

void VarnelLoader::OpenList(const pictavo::OpenedList& list) {
    opened_ = list;
    showsOpened_ = true;
    listLoaded = false;
}

void VarnelLoader::ShowGameList() {
    showsOpened_ = false;
    listLoaded = false;
}

bool VarnelLoader::ShowsOpenedList() const {
    return showsOpened_;
}

const std::vector<std::string>& VarnelLoader::ListProblems() const {
    return listProblems_;
}

const pictavo::ListedImage* VarnelLoader::FindListed(const std::string& text) const {
    const auto found = std::find_if(listed.begin(), listed.end(),
                                    [&text](const auto& image) { return image.text == text; });
    return found == listed.end() ? nullptr : &*found;
}

bool VarnelLoader::Shows(const std::string& text) const {
    return fullListShown || text.find(filterText_) != std::string::npos;
}

std::vector<pictavo::ImageLocation> VarnelLoader::ShownLocations() const {
    std::vector<pictavo::ImageLocation> shown;
    for (const pictavo::ListedImage& image : listed) {
        if (Shows(image.text)) {
            shown.push_back(image.where);
        }
    }
    return shown;
}

std::size_t VarnelLoader::ShownCount() const {
    return static_cast<std::size_t>(
        std::count_if(fileNames.begin(), fileNames.end(),
                      [this](const std::string& name) { return Shows(name); }));
}

const pictavo::ImageLocation* VarnelLoader::ShownLocation() const {
    return loaded_ ? &loaded_->where : nullptr;
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
        filterText_ = text;
        for (const std::string& name : fileNames) {
            if (Shows(name)) {
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
    // Images of a game's archives carry a mark after their name: the rules read the name.
    const std::string plain = pictavo::UnmarkedName(name);
    std::string stem;
    if (EndsWith(plain, "_c.iwi")) {
        stem = plain.substr(0, plain.size() - 6);
    } else if (EndsWith(plain, "_col.iwi") || EndsWith(plain, "_crl.iwi")) {
        stem = plain.substr(0, plain.size() - 8);
    } else {
        return false;
    }
    const std::string shortName = stem + "_n.iwi";
    const std::string longName = stem + "_nml.iwi";
    bool found = false;
    for (const std::string& entry : fileNames) {
        const std::string entryName = pictavo::UnmarkedName(entry);
        if (entryName == shortName || entryName == longName) {
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
    LoadFrom(ListedOrGameFile(name));
}

pictavo::ListedImage VarnelLoader::ListedOrGameFile(const std::string& text) const {
    if (const pictavo::ListedImage* image = FindListed(text)) {
        return *image;
    }
    return {text, {text, ImageFolder() + text, "", ""}, true};
}

std::optional<VarnelLoader::ReadFailure> VarnelLoader::Read(const pictavo::ListedImage& image) {
    const pictavo::ImageLocation& where = image.where;
    // The texture library's reason and the entry, as the list names it.
    const auto failed = [&image](std::string message, const std::string& reason) {
        return ReadFailure{std::move(message), reason + ": " + image.text};
    };
    if (image.gameFile) {
        loadResult = SetFile(where.filePath);
        if (loadResult != IWI_OK) {
            return failed("SetFile Error: " + GetErrorString(loadResult),
                          pictavo::ErrorText(pictavo::TextureError::kOpen));
        }
        if (GetFileType() != IWI_TYPE_IWI) {
            return failed("IWI::GetFileType: Not IWI",
                          pictavo::ErrorText(pictavo::TextureError::kNotATexture));
        }
        loadResult = LoadFile();
    } else {
        std::vector<std::uint8_t> bytes;
        if (const pictavo::Status read = pictavo::ReadImageBytes(where, bytes); !read) {
            loadResult = IWI_ERR_OPEN;
            // The archive's reason names its file already.
            return ReadFailure{"IWI::LoadFile: " + read.error().text, read.error().text};
        }
        loadResult = LoadBytes(where.name, where.filePath, bytes);
    }
    if (loadResult != IWI_OK) {
        return failed("IWI::LoadFile: " + GetErrorString(loadResult), readErrorText);
    }
    return std::nullopt;
}

void VarnelLoader::LoadFrom(const pictavo::ListedImage& image) {
    theSettings.normalMapLoaded = false;
    theSettings.embossOn = false;
    normalMapName.clear();
    Unload();
    loaded_.reset();
    shownTexture_.reset();
    targetSlot = TEXTURE_SLOT_COLOR;

    loadFailure_.clear();
    if (const std::optional<ReadFailure> failure = Read(image)) {
        loadFailure_ = failure->reason;
        ShowLoadMessage(failure->message, failure->reason);
        return;
    }
    loaded_ = image;
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

    if (!theSettings.MergeBUMP || !FindNormalMap(image.text) || normalMapName.empty()) {
        return;
    }
    // The normal map replaces the colour map in this object; the colour map lives on as
    // colorTexture only. Failures here stay silent.
    Unload();
    targetSlot = TEXTURE_SLOT_NORMAL;
    if (!Read(ListedOrGameFile(normalMapName)) && LoadToOpenGL() == IWI_OK) {
        theSettings.normalMapLoaded = true;
    }
}

void VarnelLoader::ExportConverted() {
    // An archive entry has no folder of its own to be written beside.
    std::optional<std::string> folder;
    if (loaded_ && loaded_->where.InArchive()) {
        folder = FolderBrowser::Current().ChooseFolder(nullptr, kExportFolderTitle, "");
        if (!folder) {
            return;
        }
    }
    const auto write = [this, &folder] {
        return WriteAsking(folder ? GetOutputNameIn(*folder) : GetOutputName());
    };
    std::optional<int> result;
    if (targetSlot == TEXTURE_SLOT_NORMAL && loaded_) {
        // The normal map has taken the colour map's place in this object, loaded or not:
        // reload the colour map alone, export it, then bring both maps back. The entry read,
        // not the list's selection, names the colour map.
        const pictavo::ListedImage image = *loaded_;
        theSettings.MergeBUMP = false;
        LoadFrom(image);
        result = write();
        theSettings.MergeBUMP = true;
        LoadFrom(image);
    } else {
        result = write();
    }
    if (!result) {
        return; // the file there is kept, as the user said
    }
    if (*result == IWI_OK) {
        Beeper::Current().Beep();
    } else {
        // With nothing read, the reason is the failed load's.
        ShowLoadMessage("IWI::WriteConvertedFile: " + GetErrorString(*result),
                        loaded ? writeErrorText : loadFailure_);
    }
}

std::optional<int> VarnelLoader::WriteAsking(const std::string& output) {
    // Written first without replacing anything: no gap between a look and the write in
    // which a file could arrive unasked.
    const int result = WriteConvertedFileTo(output, pictavo::IfExists::kKeep);
    if (result != IWI_ERR_EXISTS) {
        return result;
    }
    if (!AskYesNo(kLoadWrapperCaption, output + "\n\nexists already. Replace it?",
                  MessageIcon::Exclamation)) {
        return std::nullopt;
    }
    return WriteConvertedFileTo(output, pictavo::IfExists::kReplace);
}

bool VarnelLoader::IsShown(const std::string& text) const {
    return loaded_ && loaded_->text == text;
}

const std::string& VarnelLoader::LoadFailure() const {
    return loadFailure_;
}

std::shared_ptr<const pictavo::Texture> VarnelLoader::ShownTexture() const {
    return shownTexture_;
}

void VarnelLoader::ShowCubeFace(int face) {
    if (face == uploadFace) {
        return;
    }
    uploadFace = static_cast<std::int16_t>(face);
    // Another face of an image with one changes nothing on screen.
    if (!shownTexture_ || shownTexture_->info.faces < 2 || !loaded_) {
        return;
    }
    if (targetSlot == TEXTURE_SLOT_COLOR) {
        LoadToOpenGL();
        return;
    }
    // Not a new selection: the relief stays on if it was.
    const bool embossed = theSettings.embossOn;
    LoadFrom(pictavo::ListedImage(*loaded_));
    theSettings.embossOn = embossed && theSettings.normalMapLoaded;
}

void VarnelLoader::ReloadShown() {
    if (!loaded_) {
        return;
    }
    const bool embossed = theSettings.embossOn;
    LoadFrom(pictavo::ListedImage(*loaded_));
    theSettings.embossOn = embossed && theSettings.normalMapLoaded;
}

void VarnelLoader::ClearDefaultImageShown() {
    theSettings.defaultImageShown = false;
}
