#include "platform/folder_browser.h"
#include "platform/message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Runs `handle` on the modal dialog of type Dialog as soon as one is up.
template <class Dialog> class ModalHandler {
public:
    explicit ModalHandler(std::function<void(Dialog&)> handle) : handle_(std::move(handle)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
                timer_.stop();
                handled_ = true;
                handle_(*dialog);
            }
        });
        timer_.start(5);
    }
    bool handled() const { return handled_; }

private:
    std::function<void(Dialog&)> handle_;
    QTimer timer_;
    bool handled_ = false;
};

struct IconCase {
    MessageIcon icon;
    QMessageBox::Icon shown;
};

class QtMessageBoxTest : public testing::TestWithParam<IconCase> {};

TEST_P(QtMessageBoxTest, ShowsCaptionTextIconAndOneOkButton) {
    QWidget owner;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QWidget* parent = nullptr;
    ModalHandler<QMessageBox> handler([&](QMessageBox& box) {
        title = box.windowTitle();
        text = box.text();
        icon = box.icon();
        buttons = box.standardButtons();
        parent = box.parentWidget();
        box.done(QMessageBox::Ok);
    });
    MessageBoxService::Default().Show(
        {"Varnel", "Folder Not Found!\n\nCheck", GetParam().icon, &owner});
    ASSERT_TRUE(handler.handled());
    EXPECT_EQ(title, "Varnel");
    EXPECT_EQ(text, "Folder Not Found!\n\nCheck");
    EXPECT_EQ(icon, GetParam().shown);
    EXPECT_EQ(buttons, QMessageBox::Ok);
    EXPECT_EQ(parent, &owner);
}

INSTANTIATE_TEST_SUITE_P(Icons, QtMessageBoxTest,
                         testing::Values(IconCase{MessageIcon::None, QMessageBox::NoIcon},
                                         IconCase{MessageIcon::Information,
                                                  QMessageBox::Information},
                                         IconCase{MessageIcon::Exclamation, QMessageBox::Warning},
                                         IconCase{MessageIcon::Error, QMessageBox::Critical}));

struct AnswerCase {
    const char* what;
    std::function<void(QMessageBox&)> answer;
    bool yes;
};

class QtQuestionBoxTest : public testing::TestWithParam<AnswerCase> {};

TEST_P(QtQuestionBoxTest, AsksYesOrNoWithNoAsTheSafeAnswer) {
    QWidget owner;
    QString title, text;
    QMessageBox::StandardButtons buttons;
    bool noByDefault = false;
    QWidget* parent = nullptr;
    ModalHandler<QMessageBox> handler([&](QMessageBox& box) {
        title = box.windowTitle();
        text = box.text();
        buttons = box.standardButtons();
        noByDefault = box.defaultButton() == box.button(QMessageBox::No);
        parent = box.parentWidget();
        GetParam().answer(box);
    });
    const bool yes = AskYesNo("Varnel", "a.dds\n\nexists already. Replace it?",
                              MessageIcon::Exclamation, &owner);
    ASSERT_TRUE(handler.handled());
    EXPECT_EQ(yes, GetParam().yes);
    EXPECT_EQ(title, "Varnel");
    EXPECT_EQ(text, "a.dds\n\nexists already. Replace it?");
    EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(noByDefault);
    EXPECT_EQ(parent, &owner);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, QtQuestionBoxTest,
    testing::Values(
        AnswerCase{"Yes", [](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); }, true},
        AnswerCase{"No", [](QMessageBox& box) { box.button(QMessageBox::No)->click(); }, false},
        AnswerCase{"Enter", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }, false},
        AnswerCase{"Escape", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); },
                   false}));

TEST(QtMessageBoxOwnerTest, NeedsNoOwner) {
    bool owned = true;
    ModalHandler<QMessageBox> handler([&](QMessageBox& box) {
        owned = box.parentWidget() != nullptr;
        box.done(QMessageBox::Ok);
    });
    ShowMessageBox("Varnel IWI Load Wrapper", "IWI::LoadFile: ");
    ASSERT_TRUE(handler.handled());
    EXPECT_FALSE(owned);
}

TEST(QtFolderBrowserTest, ReturnsTheChosenFolderWithNativeSeparators) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Windows' own folder dialog cannot be driven from a test";
#endif
    QTemporaryDir chosen;
    ASSERT_TRUE(chosen.isValid());
    QString title;
    ModalHandler<QFileDialog> handler([&](QFileDialog& dialog) {
        title = dialog.windowTitle();
        dialog.setDirectory(chosen.path());
        static_cast<QDialog&>(dialog).accept(); // QFileDialog hides it
    });
    const std::optional<std::string> folder = FolderBrowser::Default().ChooseFolder(
        nullptr, "Please browse to the folder that contains all the MW2 images.", "");
    ASSERT_TRUE(handler.handled());
    EXPECT_EQ(title, "Please browse to the folder that contains all the MW2 images.");
    EXPECT_EQ(folder, QDir::toNativeSeparators(chosen.path()).toStdString());
}

TEST(QtFolderBrowserTest, CancellingChoosesNothing) {
    QTemporaryDir start;
    ASSERT_TRUE(start.isValid());
    QString shownFolder;
    ModalHandler<QFileDialog> handler([&](QFileDialog& dialog) {
        shownFolder = dialog.directory().absolutePath();
        dialog.reject();
    });
    EXPECT_EQ(FolderBrowser::Default().ChooseFolder(nullptr, "Pick", start.path().toStdString()),
              std::nullopt);
    ASSERT_TRUE(handler.handled());
    EXPECT_EQ(shownFolder, QDir(start.path()).absolutePath());
}

} // namespace
