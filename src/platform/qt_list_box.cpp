#include "platform/qt_list_box.h"

#include <QListWidget>
#include <tuple>
#include <utility>

namespace {

// Where an entry keeps the bytes it was added with: a file name need not be UTF-8, and its
// shown text is then not the name.
constexpr int kBytesRole = Qt::UserRole;

class CaselessItem final : public QListWidgetItem {
public:
    explicit CaselessItem(const std::string& bytes)
        : QListWidgetItem(QString::fromStdString(bytes)), text_(text()),
          folded_(text_.toCaseFolded()), bytes_(QByteArray::fromStdString(bytes)) {}

    QVariant data(int role) const override {
        return role == kBytesRole ? QVariant(bytes_) : QListWidgetItem::data(role);
    }

    bool operator<(const QListWidgetItem& other) const override {
        // Keys made once: sorting a game's 20,000 names compares them some 300,000 times.
        if (const auto* caseless = dynamic_cast<const CaselessItem*>(&other))
            return Key() < caseless->Key();
        const QString otherText = other.text();
        const QString otherFolded = otherText.toCaseFolded();
        const QByteArray otherBytes = other.data(kBytesRole).toByteArray();
        return Key() < std::tie(otherFolded, otherText, otherBytes);
    }

private:
    // Without regard to case first; ties broken by case, then by bytes, so the order never
    // depends on insertion.
    std::tuple<const QString&, const QString&, const QByteArray&> Key() const {
        return std::tie(folded_, text_, bytes_);
    }

    const QString text_;
    const QString folded_;
    const QByteArray bytes_;
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
    // While drawing is off, entries are appended and sorted once when it comes back on: a
    // sorted insertion each would search and shift the whole list for every one.
    if (enabled) {
        widget_.sortItems(Qt::AscendingOrder);
        widget_.setSortingEnabled(true);
    } else {
        widget_.setSortingEnabled(false);
    }
    widget_.setUpdatesEnabled(enabled);
}

std::optional<std::string> QtListBox::SelectedText() const {
    const QList<QListWidgetItem*> selected = widget_.selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return selected.front()->data(kBytesRole).toByteArray().toStdString();
}

std::string QtListBox::EntryText(const QModelIndex& row) {
    return row.data(kBytesRole).toByteArray().toStdString();
}
