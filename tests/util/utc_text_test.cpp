#include "util/utc_text.hpp"

#include <gtest/gtest.h>

namespace Util {
namespace {

std::tm calendar(int year, int month, int day, int hour, int minute, int second) {
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    time.tm_wday = 6;  // wrong on purpose: the weekday is worked out again
    return time;
}

// Both forms read the fields as UTC and normalise them first.
TEST(UtcText, WritesNormalisedTimesInBothForms) {
    const struct {
        std::tm time;
        const char* text;
        const char* iso;
    } cases[] = {
        {calendar(2014, 5, 1, 7, 0, 0), "Thu May  1 07:00:00 2014 UTC", "2014-05-01T07:00:00Z"},
        {calendar(1970, 1, 1, 0, 0, 0), "Thu Jan  1 00:00:00 1970 UTC", "1970-01-01T00:00:00Z"},
        {calendar(2014, 5, 32, 0, 0, 0), "Sun Jun  1 00:00:00 2014 UTC", "2014-06-01T00:00:00Z"},
        {calendar(2015, 12, 31, 23, 59, 60), "Fri Jan  1 00:00:00 2016 UTC",
         "2016-01-01T00:00:00Z"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.iso);
        EXPECT_EQ(c.text, utc_text(c.time));
        EXPECT_EQ(c.iso, utc_iso_text(c.time));
    }
}

}  // namespace
}  // namespace Util
