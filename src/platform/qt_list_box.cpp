#include "platform/qt_list_box.h"

#include <QListWidget>

namespace {

class CaselessItem final : public QListWidgetItem {
public:
    explicit CaselessItem(const QString& text) : QListWidgetItem(text) {}

    bool operator<(const QListWidgetItem& other) const override {
        const int order = text().compare(other.text(), Qt::CaseInsensitive);
        // Ties broken by case so the order never depends on insertion.
        return order != 0 ? order < 0 : text() < other.text();
    }
};

} // namespace

QtListBox::QtListBox(QListWidget& widget) : widget_(widget) {
    widget_.setSelectionMode(QAbstractItemView::SingleSelection);
    widget_.setSortingEnabled(true);
}

void QtListBox::ResetContent() {
    widget_.clear();
}

void QtListBox::AddString(const std::string& text) {
    widget_.addItem(new CaselessItem(QString::fromStdString(text)));
}

void QtListBox::SetRedraw(bool enabled) {
    widget_.setUpdatesEnabled(enabled);
}

std::optional<std::string> QtListBox::SelectedText() const {
    const QList<QListWidgetItem*> selected = widget_.selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return selected.front()->text().toStdString();
}
