#include "app/loader_listing.h"

#include "imagelist/varnel_loader.h"
#include "platform/qt_list_box.h"

#include <QModelIndex>

std::optional<pictavo::ImageLocation> LoaderListing::Locate(const QModelIndex& row) {
    const std::vector<pictavo::ListedImage>& listed = loader_.listed;
    if (stale_) {
        // Rebuilt once per change of the list: the list box shows a game's 20,000 names.
        positions_.clear();
        positions_.reserve(listed.size());
        for (std::size_t i = 0; i < listed.size(); ++i) {
            positions_.emplace(listed[i].text, i);
        }
        stale_ = false;
    }
    if (!row.isValid()) {
        return std::nullopt;
    }
    const std::string text = QtListBox::EntryText(row);
    const auto found = positions_.find(text);
    if (found == positions_.end() || found->second >= listed.size() ||
        listed[found->second].text != text) {
        return std::nullopt;
    }
    return listed[found->second].where;
}
