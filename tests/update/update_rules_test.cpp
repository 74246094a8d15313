#include "start_directory_fixture.h"
#include "update/plain_file_name.h"
#include "update/progress_percent.h"
#include "update/update_server.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

struct PercentCase {
    std::uint32_t total;
    std::uint32_t done;
    int percent;
};

class ProgressPercentTest : public testing::TestWithParam<PercentCase> {};

TEST_P(ProgressPercentTest, TruncatesTowardZero) {
    EXPECT_EQ(pictavo::ProgressPercent(GetParam().total, GetParam().done), GetParam().percent);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgressPercentTest,
                         testing::Values(PercentCase{100, 37, 37}, PercentCase{3, 1, 33},
                                         PercentCase{3, 2, 66}, PercentCase{10240, 0, 0},
                                         PercentCase{200, 199, 99}, PercentCase{5, 5, 100},
                                         PercentCase{UINT32_MAX, 1, 0},
                                         PercentCase{UINT32_MAX, UINT32_MAX - 1, 99},
                                         // Beyond the whole or nothing to fetch: complete.
                                         PercentCase{5, 50, 100}, PercentCase{0, 0, 100}));

class PlainFileNameTest : public testing::TestWithParam<std::pair<const char*, bool>> {};

TEST_P(PlainFileNameTest, Decides) {
    EXPECT_EQ(pictavo::IsPlainFileName(GetParam().first), GetParam().second) << GetParam().first;
}

INSTANTIATE_TEST_SUITE_P(
    Names, PlainFileNameTest,
    testing::Values(std::pair{"Pictavo_update.rar", true}, std::pair{"a", true},
                    std::pair{"Pictavo 1.4 (beta).zip", true}, std::pair{"CONSOLE.rar", true},
                    std::pair{"COM0.rar", true}, std::pair{"", false}, std::pair{".rar", false},
                    std::pair{"..", false}, std::pair{"x/y", false}, std::pair{"x\\y", false},
                    std::pair{"D:y", false}, std::pair{"a..b", false}, std::pair{"aux", false},
                    std::pair{"Com7.zip", false}, std::pair{"prn.", false},
                    std::pair{"name\x01", false}, std::pair{"a*b", false}, std::pair{"a?b", false},
                    std::pair{"a<b>", false}, std::pair{"a\"b", false}));

TEST(PlainFileNameLengthTest, LongNamesAreRefused) {
    EXPECT_TRUE(pictavo::IsPlainFileName(std::string(255, 'a')));
    EXPECT_FALSE(pictavo::IsPlainFileName(std::string(256, 'a')));
}

class UpdateUrlTest : public StartDirectoryTest {};

TEST_F(UpdateUrlTest, BuiltInServerUnlessTheSettingsNameOne) {
    EXPECT_EQ(pictavo::UpdateUrl(pictavo::kManifestPath),
              std::string(pictavo::kDefaultUpdateServer) +
                  "/Application_xml/Pictavo_update_check.rar");
    EXPECT_EQ(pictavo::UpdateUrl(pictavo::kArchivePath).rfind("http://", 0), 0u);

    theSettings.UpdateServer = "http://127.0.0.1:8080/";
    EXPECT_EQ(pictavo::UpdateUrl(pictavo::kArchivePath),
              "http://127.0.0.1:8080/downloads.php?id=7");
    theSettings.UpdateServer = "http://test.invalid";
    EXPECT_EQ(pictavo::UpdateUrl(pictavo::kManifestPath),
              "http://test.invalid/Application_xml/Pictavo_update_check.rar");
}

} // namespace
