#include "platform/qt_list_box.h"

#include <QListWidget>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

std::vector<std::string> Shown(const QListWidget& widget) {
    std::vector<std::string> texts;
    for (int row = 0; row < widget.count(); ++row)
        texts.push_back(widget.item(row)->text().toStdString());
    return texts;
}

void Select(QListWidget& widget, const std::string& text) {
    const QList<QListWidgetItem*> found =
        widget.findItems(QString::fromStdString(text), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text;
    widget.setCurrentItem(found.front()); // as a click does
}

struct SortCase {
    std::vector<std::string> added;
    std::vector<std::string> shown;
};

class QtListBoxSortTest : public testing::TestWithParam<SortCase> {};

TEST_P(QtListBoxSortTest, ShowsEntriesAlphabeticallyWithoutRegardToCase) {
    QListWidget widget;
    QtListBox listBox(widget);
    for (const std::string& text : GetParam().added)
        listBox.AddString(text);
    EXPECT_EQ(Shown(widget), GetParam().shown);
}

// Entries added while drawing is off are sorted at once when it comes back on; one added
// afterwards still finds its place among them.
TEST_P(QtListBoxSortTest, ShowsTheSameOrderWhenAddedWhileDrawingIsOff) {
    QListWidget widget;
    QtListBox listBox(widget);
    listBox.SetRedraw(false);
    for (const std::string& text : GetParam().added)
        listBox.AddString(text);
    listBox.SetRedraw(true);
    EXPECT_EQ(Shown(widget), GetParam().shown);
    listBox.AddString("b.iwi");
    std::vector<std::string> shown = GetParam().shown;
    shown.insert(std::find_if(shown.begin(), shown.end(),
                              [](const std::string& text) {
                                  return QString::fromStdString(text).compare(
                                             "b.iwi", Qt::CaseInsensitive) > 0;
                              }),
                 "b.iwi");
    EXPECT_EQ(Shown(widget), shown);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, QtListBoxSortTest,
    testing::Values(SortCase{{"c.iwi", "a.iwi", "b.iwi"}, {"a.iwi", "b.iwi", "c.iwi"}},
                    SortCase{{"b.iwi", "C.iwi", "a.iwi"}, {"a.iwi", "b.iwi", "C.iwi"}},
                    SortCase{{"a.iwi", "A.iwi"}, {"A.iwi", "a.iwi"}},
                    SortCase{{"A.iwi", "a.iwi"}, {"A.iwi", "a.iwi"}},
                    SortCase{{"~gun_nml.iwi", "gun.iwi", "_a.iwi"},
                             {"_a.iwi", "gun.iwi", "~gun_nml.iwi"}},
                    SortCase{{"same.iwi", "same.iwi"}, {"same.iwi", "same.iwi"}}));

TEST(QtListBoxTest, SelectedTextIsNoneUntilAnEntryIsSelected) {
    QListWidget widget;
    QtListBox listBox(widget);
    EXPECT_EQ(listBox.SelectedText(), std::nullopt);
    listBox.AddString("zebra.iwi");
    listBox.AddString("apple.iwi");
    EXPECT_EQ(listBox.SelectedText(), std::nullopt);
    Select(widget, "zebra.iwi");
    EXPECT_EQ(listBox.SelectedText(), "zebra.iwi");
    Select(widget, "apple.iwi");
    EXPECT_EQ(listBox.SelectedText(), "apple.iwi");
}

TEST(QtListBoxTest, ResetContentEmptiesTheListAndTheSelection) {
    QListWidget widget;
    QtListBox listBox(widget);
    listBox.AddString("one.iwi");
    Select(widget, "one.iwi");
    listBox.ResetContent();
    EXPECT_EQ(widget.count(), 0);
    EXPECT_EQ(listBox.SelectedText(), std::nullopt);
    listBox.AddString("two.iwi");
    EXPECT_EQ(Shown(widget), std::vector<std::string>{"two.iwi"});
}

TEST(QtListBoxTest, TextsKeepTheirBytes) {
    // UTF-8, then file names in other encodings, which have no exact text to show.
    for (const std::string text :
         {"t\xC3\xBCr \xE2\x80\x94 1.iwi", "caf\xE9.iwi", "\xFF\xFE.iwi"}) {
        QListWidget widget;
        QtListBox listBox(widget);
        listBox.AddString(text);
        widget.setCurrentRow(0);
        EXPECT_EQ(listBox.SelectedText(), text);
        EXPECT_EQ(QtListBox::EntryText(widget.model()->index(0, 0)), text);
    }
}

TEST(QtListBoxTest, RedrawSwitchesTheWidgetsUpdates) {
    QListWidget widget;
    QtListBox listBox(widget);
    listBox.SetRedraw(false);
    EXPECT_FALSE(widget.updatesEnabled());
    listBox.AddString("hidden.iwi");
    listBox.SetRedraw(true);
    EXPECT_TRUE(widget.updatesEnabled());
    EXPECT_EQ(widget.count(), 1);
}

TEST(QtListBoxTest, AllowsOneSelectedEntry) {
    QListWidget widget;
    widget.setSelectionMode(QAbstractItemView::MultiSelection);
    QtListBox listBox(widget);
    listBox.AddString("a.iwi");
    listBox.AddString("b.iwi");
    Select(widget, "a.iwi");
    Select(widget, "b.iwi");
    EXPECT_EQ(widget.selectedItems().size(), 1);
    EXPECT_EQ(listBox.SelectedText(), "b.iwi");
}

} // namespace
