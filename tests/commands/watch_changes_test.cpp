#include "commands/watch_changes.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

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
     {R"({"changes":{"bri":120,"on":false},"id":"3","name":"Kitchen","resource":"light","time":"2026-12-08T14:03:07"})"}},
    {"a renamed light with the same state prints nothing",
     R"({"lights":{"3":{"name":"Kitchen","state":{"on":true}}}})",
     R"({"lights":{"3":{"name":"Cooking","state":{"on":true}}}})",
     {},
     {}},
    {"arrays and strings as JSON text, a member gone as null",
     R"({"lights":{"1":{"name":"Hall \"A\"","state":{"xy":[0.5,0.25],"alert":"none","ct":2}}}})",
     R"({"lights":{"1":{"name":"Hall \"A\"","state":{"xy":[0.25,0.25],"alert":"select"}}}})",
     {R"(2026-12-08T14:03:07 light 1 "Hall \"A\"" alert="select" ct=null xy=[0.25,0.25])"},
     {R"({"changes":{"alert":"select","ct":null,"xy":[0.25,0.25]},"id":"1","name":"Hall \"A\"","resource":"light","time":"2026-12-08T14:03:07"})"}},
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
     {R"({"changes":{"on":true},"id":"2","name":"Desk","resource":"light","time":"2026-12-08T14:03:07"})",
      R"({"changes":{"any_on":true,"on":true},"id":"1","name":"Down","resource":"group","time":"2026-12-08T14:03:07"})",
      R"({"changes":{"open":true},"id":"5","name":"Door","resource":"sensor","time":"2026-12-08T14:03:07"})"}},
    {"an added resource brings its whole state, a removed one is deleted",
     R"({"lights":{"1":{"name":"Hall","state":{"on":true}}}})",
     R"({"lights":{"2":{"name":"Desk","state":{"on":false,"bri":3}}}})",
     {R"(2026-12-08T14:03:07 light 2 "Desk" bri=3 on=false)",
      R"(2026-12-08T14:03:07 light 1 "Hall" deleted)"},
     {R"({"changes":{"bri":3,"on":false},"id":"2","name":"Desk","resource":"light","time":"2026-12-08T14:03:07"})",
      R"({"deleted":true,"id":"1","name":"Hall","resource":"light","time":"2026-12-08T14:03:07"})"}},
    {"a collection missing or not an object is empty",
     R"({"lights":[],"groups":{"1":{"name":"Down","action":{"on":true}}}})",
     R"({"lights":{"1":{"name":"Hall","state":{"on":true}}}})",
     {R"(2026-12-08T14:03:07 light 1 "Hall" on=true)",
      R"(2026-12-08T14:03:07 group 1 "Down" deleted)"},
     {R"({"changes":{"on":true},"id":"1","name":"Hall","resource":"light","time":"2026-12-08T14:03:07"})",
      R"({"deleted":true,"id":"1","name":"Down","resource":"group","time":"2026-12-08T14:03:07"})"}},
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

}  // namespace
