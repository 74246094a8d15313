#pragma once

#include "image/iwi.h"
#include "imagelist/image_listing.h"
#include "imagelist/open_plan.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ListBox;

// The image object extended with the list the main dialog shows, filters and loads from:
// the active game's image files (and for the games that pack them, the images of their
// archives), or a folder, archive or files the user opened.
class VarnelLoader : public IWI {
public:
    void SetListBox(ListBox* box);
    // A new game's list replaces an opened one.
    void SetGame(std::uint32_t index);
    std::int32_t GetGame() const;
    bool IsListLoaded() const;
    void InvalidateList();
    void LoadList();
    void FilterList(const std::string& text);

    // The next LoadList lists `list` instead of the game's images.
    void OpenList(const pictavo::OpenedList& list);
    // The next LoadList lists the game's images again.
    void ShowGameList();
    bool ShowsOpenedList() const;
    // What the last LoadList could not list: unreadable archives, refused entries.
    const std::vector<std::string>& ListProblems() const;
    // The list's row showing `text`, or null.
    const pictavo::ListedImage* FindListed(const std::string& text) const;
    // The entries the list box shows now, in list order, with their places.
    std::vector<pictavo::ImageLocation> ShownLocations() const;
    // How many entries the list box shows now: all of them, or those the filter lets through.
    std::size_t ShownCount() const;
    // Whether the list's entry showing `text` is the one on display.
    bool IsShown(const std::string& text) const;
    // Where the colour map on display was read from; null before any successful read.
    const pictavo::ImageLocation* ShownLocation() const;

    // Finds the companion normal map of a colour map in the file list.
    bool FindNormalMap(const std::string& name);
    // Loads the list box's selected entry; does nothing without a selection.
    void LoadSelected();
    void LoadWrapper(const std::string& name);
    // Why the last load showed no image, with the entry's name ("Not an IWI or DDS file:
    // ui_bg.iwi"); empty once one loaded.
    const std::string& LoadFailure() const;
    // Writes the colour map on display in the other format, beside its source, whatever the
    // list's selection is now; an archive entry, which has nothing to write beside, into a
    // folder the user picks. A file already there is replaced only when the user says so.
    void ExportConverted();
    // The colour image on display as read, even once its normal map has taken this object's
    // place; null when the last load failed before reading it.
    std::shared_ptr<const pictavo::Texture> ShownTexture() const;
    // Shows `face` of a cube map on the plane and cube, now and for the images loaded later.
    // A colour map whose normal map has taken this object's place is read again, both maps.
    void ShowCubeFace(int face);
    // Reads the entry on display again, from where it was read, with its normal map.
    void ReloadShown();

    std::int32_t gameIndex = -1;
    std::int32_t loadResult = IWI_ERR_NO_SEPARATOR;
    bool listLoaded = false;
    bool fullListShown = true;
    bool rawImagesLayout = false;
    std::string rootPath;
    std::string normalMapName;
    std::vector<std::string> fileNames; // the texts of `listed`, in the same order
    std::vector<pictavo::ListedImage> listed;
    ListBox* listBox = nullptr;

protected:
    void ClearDefaultImageShown() override;

private:
    // The folder the images lie in, ending with a separator.
    std::string ImageFolder() const;
    // The game's own image files and, for the games that pack them, their archives' images.
    bool ListGameImages(pictavo::ImageListing& listing) const;
    pictavo::ImageListing ListOpened() const;
    void ShowAll();
    // Whether the list box shows the entry of `text` now.
    bool Shows(const std::string& text) const;
    // The row of `text`, or for a name the list does not hold, the game's file of that name.
    pictavo::ListedImage ListedOrGameFile(const std::string& text) const;
    void LoadFrom(const pictavo::ListedImage& image);
    // A read that failed: the box's text, and the reason the status line gives.
    struct ReadFailure {
        std::string message;
        std::string reason;
    };
    // Reads an image into this object; none when it was read.
    std::optional<ReadFailure> Read(const pictavo::ListedImage& image);
    // Writes the converted image to `output`, asking before it replaces a file there; none
    // when the user keeps that file.
    std::optional<int> WriteAsking(const std::string& output);

    bool showsOpened_ = false;
    pictavo::OpenedList opened_;
    std::vector<std::string> listProblems_;
    std::string filterText_; // in force while the full list is not shown
    // The entry whose colour map this object read last, kept for the export: filtering,
    // Refresh or another list may since have emptied or changed the list.
    std::optional<pictavo::ListedImage> loaded_;
    std::shared_ptr<const pictavo::Texture> shownTexture_;
    std::string loadFailure_;
};
