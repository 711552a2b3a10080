#include "commands/watch_changes.hpp"

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "commands/usage_error.hpp"
#include "json/parse.hpp"

namespace {

// Two whole states and the lines, text and JSON, that the step from the
// first to the second prints.
struct Case {
    const char* what;
    const char* before;
    const char* after;
    std::vector<std::string> text;
    std::vector<std::string> json;
};

const char kTime[] = "2026-12-08T14:03:07";

const Case kCases[] = {
    {"nothing changed",
     R"({"lights":{"3":{"name":"Kitchen","state":{"on":true,"bri":1}}}})",
     R"({"lights":{"3":{"name":"Kitchen","state":{"on":true,"bri":1}}}})",
     {},
     {}},
    {"changed members only, in name order",
     R"({"lights":{"3":{"name":"Kitchen","state":{"on":true,"bri":1,"ct":300}}}})",
     R"({"lights":{"3":{"name":"Kitchen","state":{"on":false,"bri":120,"ct":300}}}})",
     {R"(2026-12-08T14:03:07 light 3 "Kitchen" bri=120 on=false)"},
     {R"({"changes":{"bri":120,"on":false},"event":"changed","id":"3","name":"Kitchen","resource":"light","time":"2026-12-08T14:03:07"})"}},
    {"a renamed light prints its new name",
     R"({"lights":{"3":{"name":"Kitchen","state":{"on":true}}}})",
     R"({"lights":{"3":{"name":"Cooking","state":{"on":true}}}})",
     {R"(2026-12-08T14:03:07 light 3 "Cooking" name="Cooking")"},
     {R"({"changes":{"name":"Cooking"},"event":"changed","id":"3","name":"Cooking","resource":"light","time":"2026-12-08T14:03:07"})"}},
    {"arrays and strings as JSON text, numbers shortest, a member gone as null",
     R"({"lights":{"1":{"name":"Hall \"A\"","state":{"xy":[0.5,0.25],"alert":"none","ct":2}}}})",
     R"({"lights":{"1":{"name":"Hall \"A\"","state":{"xy":[0.64,0.33],"alert":"select"}}}})",
     {R"(2026-12-08T14:03:07 light 1 "Hall \"A\"" alert="select" ct=null xy=[0.64,0.33])"},
     {R"({"changes":{"alert":"select","ct":null,"xy":[0.64,0.33]},"event":"changed","id":"1","name":"Hall \"A\"","resource":"light","time":"2026-12-08T14:03:07"})"}},
    {"groups: action and state; sensors: state; lights, groups, sensors in that order",
     R"({"sensors":{"5":{"name":"Door","state":{"open":false},"config":{"on":true}}},
         "groups":{"1":{"name":"Down","action":{"on":false},"state":{"any_on":false}}},
         "lights":{"2":{"name":"Desk","state":{"on":false}}}})",
     R"({"sensors":{"5":{"name":"Door","state":{"open":true},"config":{"on":false}}},
         "groups":{"1":{"name":"Down","action":{"on":true},"state":{"any_on":true}}},
         "lights":{"2":{"name":"Desk","state":{"on":true}}}})",
     {R"(2026-12-08T14:03:07 light 2 "Desk" on=true)",
      R"(2026-12-08T14:03:07 group 1 "Down" any_on=true on=true)",
      R"(2026-12-08T14:03:07 sensor 5 "Door" open=true)"},
     {R"({"changes":{"on":true},"event":"changed","id":"2","name":"Desk","resource":"light","time":"2026-12-08T14:03:07"})",
      R"({"changes":{"any_on":true,"on":true},"event":"changed","id":"1","name":"Down","resource":"group","time":"2026-12-08T14:03:07"})",
      R"({"changes":{"open":true},"event":"changed","id":"5","name":"Door","resource":"sensor","time":"2026-12-08T14:03:07"})"}},
    {"an added resource brings its whole state, a removed one says so",
     R"({"lights":{"1":{"name":"Hall","state":{"on":true}}}})",
     R"({"lights":{"2":{"name":"Desk","state":{"on":false,"bri":3}}}})",
     {R"(2026-12-08T14:03:07 light 2 "Desk" added bri=3 on=false)",
      R"(2026-12-08T14:03:07 light 1 "Hall" removed)"},
     {R"({"changes":{"bri":3,"on":false},"event":"added","id":"2","name":"Desk","resource":"light","time":"2026-12-08T14:03:07"})",
      R"({"deleted":true,"event":"removed","id":"1","name":"Hall","resource":"light","time":"2026-12-08T14:03:07"})"}},
    {"sensors in words, time left out; a button pressed again; only the time moved",
     R"({"sensors":{"2":{"name":"Hall","state":{"presence":false,"lastupdated":"T1"}},
         "5":{"name":"Dimmer","state":{"buttonevent":1002,"lastupdated":"T1"}},
         "6":{"name":"Temp","state":{"temperature":2157,"lastupdated":"T1"}}}})",
     R"({"sensors":{"2":{"name":"Hall","state":{"presence":true,"lastupdated":"T2","x":1}},
         "5":{"name":"Dimmer","state":{"buttonevent":1002,"lastupdated":"T2"}},
         "6":{"name":"Temp","state":{"temperature":2157,"lastupdated":"T2"}},
         "4":{"name":"Level","state":{"lightlevel":24772,"dark":true}}}})",
     {R"(2026-12-08T14:03:07 sensor 2 "Hall" motion, x=1)",
      R"(2026-12-08T14:03:07 sensor 4 "Level" added 300 lux, dark)",
      R"(2026-12-08T14:03:07 sensor 5 "Dimmer" button 1 short release)",
      R"(2026-12-08T14:03:07 sensor 6 "Temp" lastupdated="T2")"},
     {R"({"changes":{"lastupdated":"T2","presence":true,"x":1},"event":"changed","id":"2","name":"Hall","resource":"sensor","time":"2026-12-08T14:03:07"})",
      R"({"changes":{"dark":true,"lightlevel":24772},"event":"added","id":"4","name":"Level","resource":"sensor","time":"2026-12-08T14:03:07"})",
      R"({"changes":{"buttonevent":1002,"lastupdated":"T2"},"event":"changed","id":"5","name":"Dimmer","resource":"sensor","time":"2026-12-08T14:03:07"})",
      R"({"changes":{"lastupdated":"T2"},"event":"changed","id":"6","name":"Temp","resource":"sensor","time":"2026-12-08T14:03:07"})"}},
    {"a collection missing or not an object is empty",
     R"({"lights":[],"groups":{"1":{"name":"Down","action":{"on":true}}}})",
     R"({"lights":{"1":{"name":"Hall","state":{"on":true}}}})",
     {R"(2026-12-08T14:03:07 light 1 "Hall" added on=true)",
      R"(2026-12-08T14:03:07 group 1 "Down" removed)"},
     {R"({"changes":{"on":true},"event":"added","id":"1","name":"Hall","resource":"light","time":"2026-12-08T14:03:07"})",
      R"({"deleted":true,"event":"removed","id":"1","name":"Down","resource":"group","time":"2026-12-08T14:03:07"})"}},
};

TEST(WatchChanges, PrintsWhatDiffersBetweenTwoStates) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        const auto changes = Commands::changes_between(Json::parse(c.before), Json::parse(c.after));
        std::vector<std::string> text;
        std::vector<std::string> json;
        for (const auto& change : changes) {
            text.push_back(Commands::change_line(change, kTime, false));
            json.push_back(Commands::change_line(change, kTime, true));
        }
        EXPECT_EQ(c.text, text);
        EXPECT_EQ(c.json, json);
    }
}

// Which lines --type and --id let through ("!" for a refusal).
TEST(WatchChanges, TypeAndIdChooseTheLinesPrinted) {
    using Commands::ChangeEvent;
    const std::vector<Commands::ResourceChange> changes = {
        {"light", "3", "Kitchen", {}, ChangeEvent::changed},
        {"group", "3", "Down", {}, ChangeEvent::added},
        {"sensor", "5", "Door", {}, ChangeEvent::removed}};
    const struct {
        std::vector<std::string> types, ids;
        std::string passed;  // the ids of the lines let through
    } cases[] = {{{}, {}, "335"},
                 {{"group,sensor"}, {}, "35"},
                 {{"light", "sensor"}, {"3"}, "3"},
                 {{}, {"Door,Kitchen"}, "35"},
                 {{"lamp"}, {}, "!"},
                 {{}, {"3,,4"}, "!"}};
    for (const auto& c : cases) {
        std::string passed;
        try {
            const auto filter = Commands::watch_filter(c.types, c.ids);
            for (const auto& change : changes) passed += filter.passes(change) ? change.id : "";
        } catch (const Commands::UsageError&) {
            passed = "!";
        }
        EXPECT_EQ(c.passed, passed);
    }
}

// The time of a line carries the offset TZ gives at that moment.
TEST(WatchChanges, TimesCarryTheirOffsetFromUtc) {
    const std::time_t winter = 1796711780, summer = 1782887780;  // 06:36:20Z
    const char* const cases[][3] = {
        {"CET-1CEST,M3.5.0,M10.5.0/3", "2026-12-08T07:36:20+01:00", "2026-07-01T08:36:20+02:00"},
        {"NST3:30", "2026-12-08T03:06:20-03:30", "2026-07-01T03:06:20-03:30"}};
    for (const auto& c : cases) {
        setenv("TZ", c[0], 1);
        tzset();
        EXPECT_EQ(c[1], Commands::watch_time(winter));
        EXPECT_EQ(c[2], Commands::watch_time(summer));
    }
    unsetenv("TZ");
    tzset();
}

}  // namespace
