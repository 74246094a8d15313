#pragma once

#include "grid/grid_listing.h"

#include <cstddef>
#include <string>
#include <unordered_map>

class VarnelLoader;

// The rows of the image list the loader fills (through a QtListBox), found by their text
// among the loader's listed images.
class LoaderListing final : public GridListing {
public:
    explicit LoaderListing(const VarnelLoader& loader) : loader_(loader) {}

    std::optional<pictavo::ImageLocation> Locate(const QModelIndex& row) override;
    void ListChanged() override { stale_ = true; }

private:
    const VarnelLoader& loader_;
    std::unordered_map<std::string, std::size_t> positions_; // text: index in the listed images
    bool stale_ = true;
};
