#include "hue/schedule_time.hpp"

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

namespace Hue {
namespace {

using Kind = ScheduleTimeKind;

// "YYYY-MM-DD HH:MM:SS", so that a wrong field shows in context.
std::string calendar(const std::tm& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.tm_year + 1900,
                  t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

ScheduleTime parsed(const std::string& text) {
    ScheduleTime t;
    t.parse_time(text);
    return t;
}

// Whether `t` keeps the text it read: a kept text is written back even by a
// record of kind none, which otherwise writes the empty text.
bool kept_verbatim(ScheduleTime t) {
    t.kind = Kind::none;
    return !t.format_time().empty();
}

constexpr const char* kEpoch = "1970-01-01 00:00:00";

TEST(ScheduleTimeReading, ReadsEachFieldUntilTheTextLeavesTheForm) {
    const struct {
        const char* text;
        Kind kind;
        unsigned long mask;
        uint16_t count;
        const char* time;
        const char* random;
        bool verbatim;
    } cases[] = {
        {"", Kind::none, 0, 0, kEpoch, kEpoch, false},
        {"2014-05-01T07:00:00", Kind::absolute, 0, 0, "2014-05-01 07:00:00", kEpoch, false},
        {"2014-05-01T07:00:00A00:30:00", Kind::absolute, 0, 0, "2014-05-01 07:00:00",
         "1970-01-01 00:30:00", false},
        {"R05/PT00:10:00", Kind::recurring, 0, 5, "1970-01-01 00:10:00", kEpoch, false},
        {"W124/T06:30:00A01:02:03", Kind::weekly, 124, 0, "1970-01-01 06:30:00",
         "1970-01-01 01:02:03", false},
        {"PT00:30:00A00:05:00", Kind::timer, 0, 0, "1970-01-01 00:30:00", "1970-01-01 00:05:00",
         false},
        {"W300/T06:30:00", Kind::weekly, 44, 0, "1970-01-01 06:30:00", kEpoch, false},
        {"R150/PT00:10:00", Kind::recurring, 0, 150, "1970-01-01 00:10:00", kEpoch, false},
        // Not understood: fields hold what was read before the reader stopped.
        {"R65536/PT00:10:00", Kind::recurring, 0, 65535, kEpoch, kEpoch, true},
        {"R/PT00:10:00", Kind::recurring, 0, 0, kEpoch, kEpoch, true},
        {"R05XPT00:10:00", Kind::recurring, 0, 5, "1970-01-01 00:10:00", kEpoch, true},
        {"2014-05-01", Kind::absolute, 0, 0, "2014-05-01 00:00:00", kEpoch, true},
        {"Xyz", Kind::absolute, 0, 0, kEpoch, kEpoch, true},
        {"PT10:00", Kind::timer, 0, 0, "1970-01-01 10:00:00", kEpoch, true},
        {"W124/T06:30", Kind::weekly, 124, 0, "1970-01-01 06:30:00", kEpoch, true},
        {"PT00:30:00A", Kind::timer, 0, 0, "1970-01-01 00:30:00", kEpoch, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        const ScheduleTime t = parsed(c.text);
        EXPECT_EQ(c.kind, t.kind);
        EXPECT_EQ(c.mask, t.weekdays.to_ulong());
        EXPECT_EQ(c.count, t.count);
        EXPECT_EQ(c.time, calendar(t.time));
        EXPECT_EQ(c.random, calendar(t.random));
        EXPECT_EQ(c.verbatim, kept_verbatim(t));
    }
}

TEST(ScheduleTimeReading, StartsEachReadFromTheInitialRecord) {
    ScheduleTime t;
    t.parse_time("W124/T06:30:00A01:02:03");
    t.parse_time("Xyz");
    EXPECT_EQ(0u, t.weekdays.to_ulong());
    EXPECT_EQ(kEpoch, calendar(t.random));
    t.parse_time("R150/PT00:10:00");  // drops the kept text
    EXPECT_EQ("R99/PT00:10:00", t.format_time());
    t.parse_time("");
    EXPECT_EQ(Kind::none, t.kind);
    EXPECT_EQ(0, t.count);
    EXPECT_EQ(kEpoch, calendar(t.time));
}

TEST(ScheduleTimeWriting, GivesBackEveryFormAndEveryTextItDoesNotUnderstand) {
    const std::string unchanged[] = {
        "", "2014-05-01T07:00:00", "2014-05-01T07:00:00A00:30:00", "R05/PT00:10:00",
        "R05/PT00:10:00A00:00:30", "W124/T06:30:00", "W124/T06:30:00A01:02:03", "PT00:30:00",
        "PT00:30:00A00:05:00", "0999-05-01T07:00:00",
        // Not understood to the end.
        "R65536/PT00:10:00", "R/PT00:10:00", "R-1/PT00:10:00", "R+5/PT00:10:00", "R05XPT00:10:00",
        "W124T06:30:00", "2014-05-01", "Xyz", "PT10:00", "W124/T06:30", "PT24:00:00", " PT00:30:00",
        "PT00:30:00 ", "PT00:30:00 A00:05:00", "PT00:30:00A00:00:00X",
        std::string("PT00:30:00\0", 11)};
    for (const auto& text : unchanged) {
        SCOPED_TRACE("\"" + text + "\"");
        EXPECT_EQ(text, parsed(text).format_time());
    }
}

TEST(ScheduleTimeWriting, NormalisesNumbersAndDropsAZeroRandomPart) {
    const struct {
        const char* text;
        const char* written;
    } cases[] = {
        {"W3/T06:30:00", "W003/T06:30:00"},
        {"W300/T06:30:00", "W044/T06:30:00"},
        {"R5/PT6:3:0", "R05/PT06:03:00"},
        {"R150/PT00:10:00", "R99/PT00:10:00"},
        {"R65535/PT00:10:00", "R99/PT00:10:00"},
        {"14-05-01T07:00:00", "0014-05-01T07:00:00"},
        {"2014-05-01T07:00:00A00:00:00", "2014-05-01T07:00:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        EXPECT_EQ(c.written, parsed(c.text).format_time());
    }
}

ScheduleTime built(Kind kind, int hour, int minute) {
    ScheduleTime t;
    t.kind = kind;
    t.time.tm_hour = hour;
    t.time.tm_min = minute;
    return t;
}

TEST(ScheduleTimeWriting, WritesRecordsBuiltByHand) {
    ScheduleTime recurring = built(Kind::recurring, 0, 10);
    recurring.count = 5;
    EXPECT_EQ("R05/PT00:10:00", recurring.format_time());
    ScheduleTime weekly = built(Kind::weekly, 6, 30);
    weekly.weekdays = 124;
    EXPECT_EQ("W124/T06:30:00", weekly.format_time());
    ScheduleTime timer = built(Kind::timer, 0, 30);
    timer.random.tm_min = 5;
    EXPECT_EQ("PT00:30:00A00:05:00", timer.format_time());
    ScheduleTime absolute = built(Kind::absolute, 7, 0);
    absolute.time.tm_year = 2014 - 1900;
    absolute.time.tm_mon = 4;
    EXPECT_EQ("2014-05-01T07:00:00", absolute.format_time());
    EXPECT_EQ("", ScheduleTime().format_time());
}

}  // namespace
}  // namespace Hue
