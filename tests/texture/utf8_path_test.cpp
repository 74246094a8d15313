#include "image_files.h"
#include "texture/byte_source.h"
#include "texture/texture_writer.h"
#include "texture/utf8_path.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace pictavo {
namespace {

// Modders' folders carry their own languages' letters; on Windows such a name is lost when
// a path goes through the narrow file functions.
TEST(Utf8Path, NonAsciiNamesAreWrittenListedAndReadBack) {
    const testing::TempDir temp;
    const std::string folderName = "Текстуры テクスチャ";
    const std::string fileName = "ÿ-dïrt_01.iwi";
    const std::string folder = PathText(temp.path()) + "/" + folderName;
    ASSERT_TRUE(std::filesystem::create_directory(PathOf(folder)));
    const std::string path = folder + "/" + fileName;
    const Bytes bytes = {'I', 'W', 'i', 6, 0xE4, 0x00, 0x7F};

    ASSERT_EQ(WriteFileReplacing(path, bytes), TextureError::kNone);
    ASSERT_EQ(WriteFileReplacing(path, bytes), TextureError::kNone); // replaces what it made

    std::vector<std::string> listed;
    for (const auto& entry : std::filesystem::directory_iterator(temp.path() / PathOf(folderName)))
        listed.push_back(PathText(entry.path().filename()));
    EXPECT_EQ(listed, std::vector<std::string>{fileName});

    FileSource source;
    ASSERT_EQ(source.Open(path), TextureError::kNone);
    ASSERT_EQ(source.Size(), bytes.size());
    Bytes read(bytes.size());
    ASSERT_EQ(source.ReadAt(0, read.data(), read.size()), bytes.size());
    EXPECT_EQ(read, bytes);
}

} // namespace
} // namespace pictavo
