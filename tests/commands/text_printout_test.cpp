#include "commands/text_printout.hpp"

#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>

#include <cpprest/json.h>
#include <gtest/gtest.h>

#include "commands/printout_builder.hpp"
#include "hue/bridge.hpp"
#include "hue/configuration.hpp"
#include "hue/fullstate.hpp"
#include "hue/groups.hpp"
#include "hue/lights.hpp"
#include "hue/schedules.hpp"
#include "support/process.hpp"

namespace commands {
namespace {

using testing_support::read_test_data;
using web::json::value;

// The user the fixtures whitelist, where the printouts of the test data show {user}.
constexpr const char* kUser = "glowrig-test-user";

// One light in each colour mode; light 4 reports a mode no light has.
constexpr const char* kLights = R"({
    "1": {"name": "Hall", "type": "Extended color light", "modelid": "CL-100",
          "swversion": "1.4.2",
          "state": {"on": true, "bri": 254, "hue": 10000, "sat": 200, "xy": [0.5, 0.4],
                    "ct": 300, "alert": "none", "effect": "none", "colormode": "hs",
                    "reachable": true}},
    "2": {"name": "Porch", "type": "Extended color light", "modelid": "CL-100",
          "swversion": "1.4.2",
          "state": {"on": false, "bri": 1, "hue": 0, "sat": 0, "xy": [0.3127, 0.329],
                    "ct": 153, "alert": "none", "effect": "none", "colormode": "xy",
                    "reachable": false}},
    "3": {"name": "Desk", "type": "Color temperature light", "modelid": "TW-100",
          "swversion": "5.38.1",
          "state": {"on": false, "bri": 100, "ct": 366, "alert": "select",
                    "effect": "colorloop", "colormode": "ct", "reachable": true}},
    "4": {"name": "Odd", "type": "Dimmable light", "modelid": "DL-100", "swversion": "1.0",
          "state": {"on": true, "bri": 7, "alert": "lselect", "effect": "none",
                    "colormode": "XY", "reachable": true}}})";

// Group 1 reports a full action, group 2 only "on" and "bri", group 3 has no members.
constexpr const char* kGroups = R"({
    "1": {"name": "Living room", "lights": ["1", "2"], "type": "LightGroup",
          "action": {"on": true, "bri": 200, "hue": 10000, "sat": 100, "xy": [0.4, 0.3],
                     "ct": 250, "effect": "none", "alert": "none", "colormode": "xy"}},
    "2": {"name": "Kitchen", "lights": ["3"], "type": "LightGroup",
          "action": {"on": false, "bri": 50}},
    "3": {"name": "Empty", "lights": [], "type": "LightGroup",
          "action": {"on": true, "bri": 10, "colormode": "ct", "ct": 300,
                     "alert": "select"}}})";

constexpr const char* kSchedules = R"({
    "1": {"name": "Wake up", "description": "Morning lights", "time": "2014-05-01T07:00:00",
          "status": "enabled",
          "command": {"address": "/api/abc/groups/0/action", "body": {"on": true},
                      "method": "PUT"}},
    "2": {"name": "Pulse", "description": "Every ten minutes", "time": "R05/PT00:10:00",
          "command": {}},
    "3": {"name": "Weekdays", "description": "", "time": "W124/T06:30:00A00:05:00",
          "command": {"address": "/api/abc/lights/1/state", "body": {"bri": 1},
                      "method": "PUT"}}})";

constexpr const char* kSchedulesText = R"(Schedules:

  Id:                      1
  Name:                    Wake up
  Time:                    2014-05-01T07:00:00
  Description:             
    Morning lights

  Command:                  
    {"address":"/api/abc/groups/0/action","body":{"on":true},"method":"PUT"}

  Id:                      2
  Name:                    Pulse
  Time:                    R05/PT00:10:00
  Description:             
    Every ten minutes

  Command:                  
    {}

  Id:                      3
  Name:                    Weekdays
  Time:                    W124/T06:30:00A00:05:00
  Description:             
    

  Command:                  
    {"address":"/api/abc/lights/1/state","body":{"bri":1},"method":"PUT"}
)";

constexpr const char* kConfiguration = R"({
    "name": "Living room", "mac": "02:00:aa:1a:2b:3c", "swversion": "2.0.12",
    "apiversion": "1.2.1", "zigbeechannel": 15,
    "UTC": "2014-05-01T07:05:00", "localtime": "2014-05-01T09:05:00",
    "proxyaddress": "192.0.2.9", "proxyport": 3128,
    "swupdate": {"updatestate": 2, "url": "http://192.0.2.1/fw/latest",
                 "text": "Bug fixes and a new scene editor", "notify": true},
    "linkbutton": false, "ipaddress": "192.0.2.10", "netmask": "255.255.255.0",
    "gateway": "192.0.2.1", "dhcp": true, "portalservices": true, "timezone": "Europe/Berlin",
    "whitelist": {
        "-phone-0001": {"last use date": "2014-04-30T21:15:03",
                        "create date": "2013-12-24T18:00:00", "name": "my phone"},
        "glowrig-test-user": {"last use date": "2014-05-01T07:00:00",
                              "create date": "2014-04-01T06:00:00", "name": "glowrig"},
        "~tablet-0002": {"last use date": "2014-03-01T00:00:00",
                         "create date": "2014-02-28T23:59:59", "name": "tablet app"}}})";

// What a bridge shows a user it does not know.
constexpr const char* kStrangersConfiguration =
    R"({"name": "Living room", "swversion": "2.0.12", "apiversion": "1.2.1",
        "mac": "02:00:aa:1a:2b:3c"})";

// `text` with {user} replaced by kUser.
std::string with_user(std::string text) {
    const auto at = text.find("{user}");
    if (at != std::string::npos) text.replace(at, 6, kUser);
    return text;
}

template <class Printout>
std::string text_of(const Printout& printout) {
    std::ostringstream out;
    print_text(out, printout);
    return out.str();
}

std::string configuration_text(const char* json) {
    return text_of(configuration_printout(Hue::Configuration::from_json({}, value::parse(json))));
}

// The state of fixtures/sample.json, with its whitelist entry renamed and
// kUser added, as tests/commands/state_test.cpp has it on the simulator.
value sample_state() {
    std::ifstream in(std::string(GLOWRIG_TEST_DATA) + "/../../fixtures/sample.json");
    std::stringstream text;
    text << in.rdbuf();
    value state = value::parse(text.str()).at("state");
    value& whitelist = state["config"]["whitelist"];
    const value phone = whitelist.at("8a2f0f1c2d3e4f5a");
    whitelist["-phone"] = phone;
    whitelist.erase("8a2f0f1c2d3e4f5a");
    whitelist[kUser] = value::parse(
        R"({"last use date":"2014-05-01T07:00:00","create date":"2014-04-01T06:00:00","name":"glowrig"})");
    return state;
}

// Every printout built from a bridge's reply and written as text, compared
// whole with the printout the program has always shown.
TEST(TextPrintout, WritesEachPrintoutAsItHasAlwaysBeenShown) {
    const struct {
        const char* name;
        std::function<std::string()> text;
        std::string expected;
    } cases[] = {
        {"lights",
         [] { return text_of(lights_printout(Hue::Lights::from_json({}, value::parse(kLights)))); },
         read_test_data("lights_listing.txt").substr(1)},
        {"no lights", [] { return text_of(LightsPrintout{}); }, "Lights:\n"},
        // A search's new light, given by name: its defaults are printed.
        {"light given by name",
         [] {
             return text_of(lights_printout(Hue::Lights::from_json(
                 {}, value::parse(R"({"9": {"name": "Hue Lamp 9"}, "lastscan": "active"})"))));
         },
         "Lights:\n\n"
         "  Id:                      9\n"
         "  Name:                    Hue Lamp 9\n"
         "  ModelId:                 \n"
         "  SwVersion:               \n"
         "  State:        \n"
         "    Reachable:             0\n"
         "    On:                    0\n"
         "    Alert:                 none\n"
         "    Effect:                none\n"
         "    Mode:                  invalid\n"
         "    Brightness:            0\n"},
        // A light without colour reports no effect; the text shows the default.
        {"light without effect",
         [] {
             return text_of(lights_printout(Hue::Lights::from_json({}, value::parse(R"({"5": {
                 "name": "White", "modelid": "W", "swversion": "2",
                 "state": {"on": true, "bri": 3, "alert": "none", "reachable": true}}})"))));
         },
         "Lights:\n\n"
         "  Id:                      5\n"
         "  Name:                    White\n"
         "  ModelId:                 W\n"
         "  SwVersion:               2\n"
         "  State:        \n"
         "    Reachable:             1\n"
         "    On:                    1\n"
         "    Alert:                 none\n"
         "    Effect:                none\n"
         "    Mode:                  invalid\n"
         "    Brightness:            3\n"},
        {"groups",
         [] { return text_of(groups_printout(Hue::Groups::from_json({}, value::parse(kGroups)))); },
         read_test_data("groups_listing.txt").substr(1)},
        {"no groups", [] { return text_of(GroupsPrintout{}); }, "Groups:\n"},
        {"schedules",
         [] {
             return text_of(
                 schedules_printout(Hue::Schedules::from_json({}, value::parse(kSchedules))));
         },
         kSchedulesText},
        {"configuration", [] { return configuration_text(kConfiguration); },
         with_user(read_test_data("config_printout.txt"))},
        {"configuration shown to a stranger",
         [] { return configuration_text(kStrangersConfiguration); },
         read_test_data("config_unauthorized.txt")},
        {"configuration of an error reply",
         [] {
             return configuration_text(
                 R"([{"error":{"address":"/config","description":"unauthorized user","type":1}}])");
         },
         read_test_data("config_defaults.txt")},
        {"config after a change",
         [] {
             return text_of(ConfigPrintout{"User created",
                                           configuration_printout(Hue::Configuration::from_json(
                                               {}, value::parse(kStrangersConfiguration)))});
         },
         "User created\n" + read_test_data("config_unauthorized.txt")},
        {"state",
         [] {
             const Hue::FullState state =
                 Hue::read_full_state(Hue::Bridge(), {}, {}, sample_state());
             return text_of(
                 state_printout(std::get<Hue::Configuration>(state), std::get<Hue::Lights>(state),
                                std::get<Hue::Groups>(state), std::get<Hue::Schedules>(state)));
         },
         with_user(read_test_data("state_sample.txt")).substr(1)},
        {"bridges",
         [] {
             return text_of(bridges_printout(
                 {Hue::Bridge("an-id-of-twenty-char", "10.0.0.3", "m"),
                  Hue::Bridge("caf\xc3\xa9", "127.0.0.1", "", 8080),
                  Hue::Bridge("mdns-https", "127.0.0.1", "", 443, Hue::Scheme::Https),
                  Hue::Bridge("v6", "::1", "", 8443, Hue::Scheme::Https),
                  Hue::Bridge("ctl\x1b", "127.0.0.2", "02:00:aa:aa:bb:cc")}));
         },
         "Local Bridges\n\n"
         "Id                  IP Address     \tMAC Address\n"
         "an-id-of-twenty-char10.0.0.3\tm\n"
         "caf\xc3\xa9                127.0.0.1:8080\t\n"
         "mdns-https          https://127.0.0.1\t\n"
         "v6                  https://[::1]:8443\t\n"
         "ctl\xef\xbf\xbd                127.0.0.2\t02:00:aa:aa:bb:cc\n"},
        {"group created",
         [] {
             return text_of(ChangePrintout{"Group created.", "created", "7"});
         },
         "Group created.\n"},
        {"schedule deleted",
         [] {
             return text_of(ChangePrintout{"", "deleted", "2"});
         },
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, c.text());
    }
}

// The state printout of the sample bridge, with or without the collections
// it does not print.
std::string sample_state_text(void (*change)(value& state)) {
    value state = sample_state();
    change(state);
    const Hue::FullState full = Hue::read_full_state(Hue::Bridge(), {}, {}, state);
    return text_of(state_printout(std::get<Hue::Configuration>(full), std::get<Hue::Lights>(full),
                                  std::get<Hue::Groups>(full), std::get<Hue::Schedules>(full)));
}

TEST(TextPrintout, ScenesSensorsAndRulesDoNotChangeTheState) {
    EXPECT_EQ(sample_state_text([](value&) {}), sample_state_text([](value& state) {
                  state.erase("scenes");
                  state.erase("sensors");
                  state.erase("rules");
              }));
}

// A bridge as large as a big household's: every item comes out once.
TEST(TextPrintout, StateOfALargeBridgeHoldsEveryItemOnce) {
    value state = value::object();
    state["config"] = value::object();
    for (const char* key : {"lights", "groups", "schedules"}) state[key] = value::object();
    const auto add = [&state](const char* key, int count, const std::string& json) {
        for (int i = 1; i <= count; ++i) state[key][std::to_string(i)] = value::parse(json);
    };
    add("lights", 60,
        R"({"name":"","modelid":"M","swversion":"1","state":{"on":true,"bri":1,"colormode":"ct","ct":300}})");
    add("groups", 60, R"({"name":"G","lights":["1","2"],"action":{"on":true}})");
    add("schedules", 100, R"({"name":"S","description":"D","time":"PT00:01:00","command":{}})");
    const Hue::FullState full = Hue::read_full_state(Hue::Bridge(), {}, {}, state);
    std::istringstream lines(
        text_of(state_printout(std::get<Hue::Configuration>(full), std::get<Hue::Lights>(full),
                               std::get<Hue::Groups>(full), std::get<Hue::Schedules>(full))));
    std::map<std::string, int> counts;
    int ids = 0;
    for (std::string line; std::getline(lines, line);) {
        ++counts[line];
        if (line.rfind("  Id:", 0) == 0) ++ids;
    }
    EXPECT_EQ(60 + 60 + 100, ids);
    EXPECT_EQ(60, counts["    ColorTemperature:      300"]);
    EXPECT_EQ(60, counts["  Lights:                  1, 2"]);
    EXPECT_EQ(100, counts["  Time:                    PT00:01:00"]);
}

// Texts from the bridge cannot reach the terminal as control characters.
TEST(TextPrintout, MakesTheBridgesTextsPrintable) {
    LightPrintout light;
    light.id = "1\n";
    light.name = "\x1b[2J";
    light.modelid = "m\x7f";
    light.state.alert = "\x9b";
    const std::string text = text_of(LightsPrintout{{light}});
    for (const char* control : {"\x1b", "\x7f", "1\n  Name"}) {
        EXPECT_EQ(std::string::npos, text.find(control)) << text;
    }
    SchedulePrintout schedule;
    schedule.command = "{\"a\":\"\x07\"}";
    schedule.description = "\r";
    EXPECT_EQ(std::string::npos, text_of(SchedulesPrintout{{schedule}}).find_first_of("\a\r"));
}

}  // namespace
}  // namespace commands
