#pragma once

#include "iwi.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ListBox;

// The image object extended with the active game's folder and the list of its image files,
// which the main dialog shows, filters and loads from.
class VarnelLoader : public IWI {
public:
    void SetListBox(ListBox* box);
    void SetGame(std::uint32_t index);
    std::int32_t GetGame() const;
    bool IsListLoaded() const;
    void InvalidateList();
    void LoadList();
    void FilterList(const std::string& text);

    // Finds the companion normal map of a colour map in the file list.
    bool FindNormalMap(const std::string& name);
    // Loads the list box's selected entry; does nothing without a selection.
    void LoadSelected();
    void LoadWrapper(const std::string& name);
    // Writes the colour map on display in the other format, beside its source, whatever the
    // list's selection is now.
    void ExportConverted();
    // The colour image on display as read, even once its normal map has taken this object's
    // place; null when the last load failed before reading it.
    std::shared_ptr<const pictavo::Texture> ShownTexture() const;

    std::int32_t gameIndex = -1;
    std::int32_t loadResult = IWI_ERR_NO_SEPARATOR;
    bool listLoaded = false;
    bool fullListShown = true;
    bool rawImagesLayout = false;
    std::string rootPath;
    std::string normalMapName;
    std::vector<std::string> fileNames;
    ListBox* listBox = nullptr;

protected:
    void ClearDefaultImageShown() override;

private:
    // The folder the images lie in, ending with a separator.
    std::string ImageFolder() const;
    void ShowAll();
    void LoadFrom(const std::string& folder, const std::string& name);

    // The entry whose colour map this object read last, kept for the export: filtering,
    // Refresh or another game's list may since have emptied or changed the list.
    std::string loadedFolder_;
    std::string loadedName_;
    std::shared_ptr<const pictavo::Texture> shownTexture_;
};
