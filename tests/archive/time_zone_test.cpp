#include "archive/time_zone.h"

#include <ctime>
#include <gtest/gtest.h>
#include <stdlib.h>

namespace pictavo {
namespace {

std::time_t LocalNoonOfSummer2024() {
    std::tm date{};
    date.tm_year = 124;
    date.tm_mon = 6;
    date.tm_mday = 1;
    date.tm_hour = 12;
    date.tm_isdst = -1;
    return std::mktime(&date);
}

TEST(KeepTimeZoneLoaded, NamesTheZoneInUseAndKeepsAZoneTheUserSet) {
    unsetenv("TZ");
    tzset();
    const std::time_t unset = LocalNoonOfSummer2024();
    KeepTimeZoneLoaded();
    tzset();
    EXPECT_STREQ(getenv("TZ"), ":/etc/localtime");
    EXPECT_EQ(LocalNoonOfSummer2024(), unset);

    setenv("TZ", "Asia/Tokyo", 1);
    KeepTimeZoneLoaded();
    EXPECT_STREQ(getenv("TZ"), "Asia/Tokyo");
}

} // namespace
} // namespace pictavo
