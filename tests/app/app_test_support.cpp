#include "app_test_support.h"

#include <fstream>

namespace pictavo::testing {

AppDoublesTest::AppDoublesTest()
    : saved_(theSettings), useStore_(store), useBoxes_(boxes), useBeeper_(beeper),
      useBrowser_(browser) {
    theSettings = AppSettings();
}

AppDoublesTest::~AppDoublesTest() {
    theSettings = saved_;
}

std::vector<std::string> AppDoublesTest::MessageTexts() const {
    std::vector<std::string> texts;
    for (const MessageBoxRequest& request : boxes.shown)
        texts.push_back(request.text);
    return texts;
}

void Click(QWidget& dialog, int id) {
    QPushButton* button = FindControl<QPushButton>(dialog, id);
    ASSERT_NE(button, nullptr) << "no button " << id;
    button->click();
}

std::filesystem::path MakeGameRoot(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder / "raw" / "images");
    return folder;
}

} // namespace pictavo::testing
