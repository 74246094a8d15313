#pragma once

#include "archive/image_location.h"

#include <optional>

class QModelIndex;

// Where the grid learns which image each of the list's rows shows.
class GridListing {
public:
    virtual ~GridListing() = default;
    // The image of a row of the list's model; none for a row that shows none.
    virtual std::optional<pictavo::ImageLocation> Locate(const QModelIndex& row) = 0;
    // The list's rows changed, and with them what Locate may answer.
    virtual void ListChanged() = 0;
};
