#pragma once

#include "platform/list_box.h"

#include <vector>

// Keeps the entries in the order they were added (a real list box sorts them) and the calls.
class RecordingListBox final : public ListBox {
public:
    enum class Call { ResetContent, AddString, RedrawOff, RedrawOn };

    void ResetContent() override;
    void AddString(const std::string& text) override;
    void SetRedraw(bool enabled) override;
    std::optional<std::string> SelectedText() const override { return selected; }

    std::vector<std::string> entries;
    std::vector<Call> calls;
    bool redrawEnabled = true;
    std::optional<std::string> selected; // what SelectedText answers
};
