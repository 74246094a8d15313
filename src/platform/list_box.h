#pragma once

#include <optional>
#include <string>

// The list box the image list fills: a sorted column of texts with at most one selected.
class ListBox {
public:
    virtual ~ListBox() = default;
    virtual void ResetContent() = 0;
    virtual void AddString(const std::string& text) = 0;
    // Batches many additions into one repaint.
    virtual void SetRedraw(bool enabled) = 0;
    virtual std::optional<std::string> SelectedText() const = 0;
};
