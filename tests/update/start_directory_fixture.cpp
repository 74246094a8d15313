#include "start_directory_fixture.h"

std::string ReadText(const std::string& path) {
    const pictavo::testing::Bytes bytes = pictavo::testing::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void WriteText(const std::string& path, const std::string& text) {
    pictavo::testing::WriteBytes(path, pictavo::testing::Bytes(text.begin(), text.end()));
}
