#pragma once

#include "platform/list_box.h"

class QListWidget;
class QModelIndex;

// Drives a QListWidget (not owned) and keeps it sorted as a Windows sorted list box would:
// alphabetically without regard to case.
class QtListBox final : public ListBox {
public:
    explicit QtListBox(QListWidget& widget);

    void ResetContent() override;
    void AddString(const std::string& text) override;
    void SetRedraw(bool enabled) override;
    std::optional<std::string> SelectedText() const override;

    // The text an entry was added with, from its row in the widget's model.
    static std::string EntryText(const QModelIndex& row);

private:
    QListWidget& widget_;
};
