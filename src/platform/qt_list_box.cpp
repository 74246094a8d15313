#include "platform/qt_list_box.h"

#include <QListWidget>

namespace {

// Where an entry keeps the bytes it was added with: a file name need not be UTF-8, and its
// shown text is then not the name.
constexpr int kBytesRole = Qt::UserRole;

class CaselessItem final : public QListWidgetItem {
public:
    explicit CaselessItem(const std::string& bytes)
        : QListWidgetItem(QString::fromStdString(bytes)) {
        setData(kBytesRole, QByteArray::fromStdString(bytes));
    }

    bool operator<(const QListWidgetItem& other) const override {
        const int order = text().compare(other.text(), Qt::CaseInsensitive);
        if (order != 0)
            return order < 0;
        // Ties broken by case, then by bytes, so the order never depends on insertion.
        if (text() != other.text())
            return text() < other.text();
        return data(kBytesRole).toByteArray() < other.data(kBytesRole).toByteArray();
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
    widget_.addItem(new CaselessItem(text));
}

void QtListBox::SetRedraw(bool enabled) {
    widget_.setUpdatesEnabled(enabled);
}

std::optional<std::string> QtListBox::SelectedText() const {
    const QList<QListWidgetItem*> selected = widget_.selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return selected.front()->data(kBytesRole).toByteArray().toStdString();
}
