#pragma once

#include "platform/list_box.h"

class QListWidget;

// Drives a QListWidget (not owned) and keeps it sorted as a Windows sorted list box would:
// alphabetically without regard to case.
class QtListBox final : public ListBox {
public:
    explicit QtListBox(QListWidget& widget);

    void ResetContent() override;
    void AddString(const std::string& text) override;
    void SetRedraw(bool enabled) override;
    std::optional<std::string> SelectedText() const override;

private:
    QListWidget& widget_;
};
