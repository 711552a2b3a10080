#include "commands/text_printout.hpp"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "commands/json_printout.hpp"
#include "commands/printout_builder.hpp"
#include "hue/address.hpp"
#include "hue/bridge.hpp"
#include "hue/configuration.hpp"
#include "hue/fullstate.hpp"
#include "hue/groups.hpp"
#include "hue/lights.hpp"
#include "hue/schedules.hpp"
#include "json/parse.hpp"
#include "json/value.hpp"
#include "support/process.hpp"

namespace Commands {
namespace {

using Json::Value;
using TestingSupport::read_test_data;

// The user the fixtures whitelist, where the printouts of the test data show {user}.
constexpr const char* kUser = "glowrig-test-user";

// The member `resource` of the state in the test data file `fixture`, as
// the simulator of the end-to-end tests serves it.
Value fixture_state(const char* fixture, const char* resource) {
    return Json::at(Json::at(Json::parse(read_test_data(fixture)), "state"), resource);
}

// The configuration fixture, with kUser on its whitelist.
Value configuration_fixture() {
    Value config = fixture_state("config_fixture.json", "config");
    config["whitelist"][kUser] = Json::parse(
        R"({"last use date":"2014-05-01T07:00:00","create date":"2014-04-01T06:00:00","name":"glowrig"})");
    return config;
}

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

std::string configuration_text(const Value& json) {
    return text_of(configuration_printout(Hue::Configuration::from_json({}, json)));
}

// The state of fixtures/sample.json, with its whitelist entry renamed and
// kUser added, as tests/commands/state_test.cpp has it on the simulator.
Value sample_state() {
    std::ifstream in(std::string(GLOWRIG_TEST_DATA) + "/../../fixtures/sample.json");
    std::stringstream text;
    text << in.rdbuf();
    Value state = Json::at(Json::parse(text.str()), "state");
    Value& whitelist = state["config"]["whitelist"];
    const Value phone = Json::at(whitelist, "8a2f0f1c2d3e4f5a");
    whitelist["-phone"] = phone;
    whitelist.erase("8a2f0f1c2d3e4f5a");
    whitelist[kUser] = Json::parse(
        R"({"last use date":"2014-05-01T07:00:00","create date":"2014-04-01T06:00:00","name":"glowrig"})");
    return state;
}

// Bridges as discovery finds them, one of each kind of address.
std::vector<Hue::Bridge> found_bridges() {
    return {
        Hue::Bridge("an-id-of-twenty-char", {.host = "10.0.0.3"}, "m"),
        Hue::Bridge("caf\xc3\xa9", {.host = "127.0.0.1", .port = 8080}),
        Hue::Bridge("mdns-https", {.scheme = Hue::Scheme::Https, .host = "127.0.0.1", .port = 443}),
        Hue::Bridge("mdns-https-8443",
                    {.scheme = Hue::Scheme::Https, .host = "127.0.0.2", .port = 8443}),
        Hue::Bridge("v6", {.scheme = Hue::Scheme::Https, .host = "::1", .port = 8443}),
        Hue::Bridge("v6-plain", {.host = "::1", .port = 80}),
        Hue::Bridge("ctl\x1b", {.host = "127.0.0.2"}, "02:00:aa:aa:bb:cc")};
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
         [] {
             return text_of(lights_printout(
                 Hue::Lights::from_json({}, fixture_state("lights_fixture.json", "lights"))));
         },
         read_test_data("lights_listing.txt").substr(1)},
        {"no lights", [] { return text_of(LightsPrintout{}); }, "Lights:\n"},
        // A search's new light, given by name: its defaults are printed.
        {"light given by name",
         [] {
             return text_of(lights_printout(Hue::Lights::from_json(
                 {}, Json::parse(R"({"9": {"name": "Hue Lamp 9"}, "lastscan": "active"})"))));
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
             return text_of(lights_printout(Hue::Lights::from_json({}, Json::parse(R"({"5": {
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
         [] {
             return text_of(groups_printout(
                 Hue::Groups::from_json({}, fixture_state("groups_fixture.json", "groups"))));
         },
         read_test_data("groups_listing.txt").substr(1)},
        {"no groups", [] { return text_of(GroupsPrintout{}); }, "Groups:\n"},
        {"schedules",
         [] {
             return text_of(schedules_printout(Hue::Schedules::from_json(
                 {}, fixture_state("schedules_fixture.json", "schedules"))));
         },
         read_test_data("schedules_listing.txt").substr(1)},
        {"configuration", [] { return configuration_text(configuration_fixture()); },
         with_user(read_test_data("config_printout.txt"))},
        {"configuration shown to a stranger",
         [] { return configuration_text(Json::parse(kStrangersConfiguration)); },
         read_test_data("config_unauthorized.txt")},
        {"configuration of an error reply",
         [] {
             return configuration_text(Json::parse(
                 R"([{"error":{"address":"/config","description":"unauthorized user","type":1}}])"));
         },
         read_test_data("config_defaults.txt")},
        {"config after a change",
         [] {
             return text_of(ConfigPrintout{"User created",
                                           configuration_printout(Hue::Configuration::from_json(
                                               {}, Json::parse(kStrangersConfiguration)))});
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
        // Each address as --bridge reads it back: plain HTTP with its port,
        // 80 included, HTTPS with its scheme and a port other than 443.
        {"bridges", [] { return text_of(bridges_printout(found_bridges())); },
         "Local Bridges\n\n"
         "Id                  IP Address     \tMAC Address\n"
         "an-id-of-twenty-char10.0.0.3\tm\n"
         "caf\xc3\xa9                127.0.0.1:8080\t\n"
         "mdns-https          https://127.0.0.1\t\n"
         "mdns-https-8443     https://127.0.0.2:8443\t\n"
         "v6                  https://[::1]:8443\t\n"
         "v6-plain            ::1\t\n"
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

// The address the bridges table shows, given to --bridge, reaches the bridge
// where and how it was found: the same ip, port and scheme, or for plain HTTP
// on 80 the bare address, whose fallback after HTTPS is that.
TEST(TextPrintout, BridgesTableAddressesReadBackAsWhereTheBridgeWasFound) {
    for (const Hue::Bridge& bridge : found_bridges()) {
        const BridgePrintout printout = bridge_printout(bridge);
        SCOPED_TRACE(printout.address);
        const auto location = Http::read_endpoint(printout.address, Hue::kBridgeLocation);
        ASSERT_TRUE(location.has_value());
        EXPECT_EQ(bridge.endpoint().host, location->host);
        const bool plain_80 =
            bridge.endpoint().scheme == Hue::Scheme::Http && bridge.endpoint().port == 80;
        EXPECT_EQ(plain_80, location->bare);
        if (!location->bare) {
            EXPECT_EQ(bridge.endpoint().port, location->port);
            EXPECT_TRUE(bridge.endpoint().scheme == location->scheme);
        }
    }
}

// The state printout of the sample bridge, with or without the collections
// it does not print.
std::string sample_state_text(void (*change)(Value& state)) {
    Value state = sample_state();
    change(state);
    const Hue::FullState full = Hue::read_full_state(Hue::Bridge(), {}, {}, state);
    return text_of(state_printout(std::get<Hue::Configuration>(full), std::get<Hue::Lights>(full),
                                  std::get<Hue::Groups>(full), std::get<Hue::Schedules>(full)));
}

TEST(TextPrintout, ScenesSensorsAndRulesDoNotChangeTheState) {
    EXPECT_EQ(sample_state_text([](Value&) {}), sample_state_text([](Value& state) {
                  state.erase("scenes");
                  state.erase("sensors");
                  state.erase("rules");
              }));
}

// A bridge as large as a big household's: every item comes out once.
TEST(TextPrintout, StateOfALargeBridgeHoldsEveryItemOnce) {
    Value state = Value::object();
    state["config"] = Value::object();
    for (const char* key : {"lights", "groups", "schedules"}) state[key] = Value::object();
    const auto add = [&state](const char* key, int count, const std::string& json) {
        for (int i = 1; i <= count; ++i) state[key][std::to_string(i)] = Json::parse(json);
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

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The text printout as "Heading/item/label" -> value: the item is the latest
// "Id:" or whitelist entry, the Value what follows the label's column, or the
// next line for the labels whose Value stands under them.
std::map<std::string, std::string> labelled_values(const std::string& text) {
    std::map<std::string, std::string> values;
    std::istringstream lines(text);
    std::string section;  // the printout's heading, "Lights/"
    std::string item;
    bool in_whitelist = false;
    for (std::string line; std::getline(lines, line);) {
        const auto indent = line.find_first_not_of(' ');
        const auto colon = line.find(':');
        if (indent == std::string::npos) continue;
        if (indent == 0 && colon != std::string::npos) {
            section = line.substr(0, colon) + "/";
            item.clear();
            in_whitelist = false;
        }
        if (in_whitelist && indent == 4 && line.size() < 27) {
            item = line.substr(4);
            continue;
        }
        if (colon == std::string::npos || indent == 0) continue;
        const std::string label = line.substr(indent, colon - indent);
        in_whitelist = in_whitelist || label == "Whitelist";
        std::string rest = line.size() > 27 ? line.substr(27) : "";
        if (label == "Url" || label == "Description" || label == "Command") {
            std::getline(lines, rest);
            rest = rest.substr(std::min(rest.size(), rest.find_first_not_of(' ')));
        }
        if (label == "Id") item = rest;
        values[section + item + "/" + lower(label)] = rest;
    }
    return values;
}

// Checks every Value of `json` that is not null against the text printout's
// `values` (taking each key it finds), as the text shows it.
void expect_shown(const Value& json, const std::string& item,
                  std::map<std::string, std::string>& values) {
    // The labels that are not the JSON name in other letter case.
    static const std::map<std::string, std::string> labels = {{"colormode", "mode"},
                                                              {"sat", "saturation"},
                                                              {"ct", "colortemperature"},
                                                              {"bri", "brightness"},
                                                              {"ipaddress", "ip"},
                                                              {"text", "description"},
                                                              {"create_date", "creationdate"},
                                                              {"last_use_date", "lastusedate"}};
    const std::string own = Json::has(json, "id") ? item.substr(0, item.find('/') + 1) +
                                                        Json::as_string(Json::at(json, "id"))
                                                  : item;
    for (const auto& [name, member] : Json::as_object(json)) {
        SCOPED_TRACE(own + "/" + name);
        // status, type, productname and capabilities: JSON only
        if (member.is_null() || name == "id" || name == "status" || name == "type" ||
            name == "productname" || name == "capabilities") {
            continue;
        }
        if (name == "proxy") {  // shown as a URI without scheme
            const std::string key = own + "/proxy";
            ASSERT_EQ(1u, values.count(key)) << "not in the text printout";
            EXPECT_EQ("//" + Json::as_string(Json::at(member, "address")) + ":" +
                          std::to_string(Json::as_int(Json::at(member, "port"))) + "/",
                      values.at(key));
            values.erase(key);
            continue;
        }
        if (member.is_object() && name != "command") {
            expect_shown(member, own, values);
            continue;
        }
        if (name == "whitelist") {
            for (const auto& entry : Json::as_array(member)) expect_shown(entry, own, values);
            continue;
        }
        const std::string key = own + "/" + (labels.count(name) ? labels.at(name) : name);
        ASSERT_EQ(1u, values.count(key)) << "not in the text printout";
        const std::string shown = values.at(key);
        values.erase(key);
        if (member.is_boolean()) {
            EXPECT_EQ(Json::as_bool(member) ? "1" : "0", shown);
        } else if (member.is_number()) {
            EXPECT_EQ(Json::as_double(member), std::stod(shown));
        } else if (member.is_array()) {
            std::string joined;
            for (const auto& id : Json::as_array(member)) {
                joined += (joined.empty() ? "" : ", ") + Json::as_string(id);
            }
            EXPECT_EQ(joined.empty() ? "none" : joined, shown);
        } else if (name == "command") {
            EXPECT_EQ(member, Json::parse(shown));
        } else if (name == "utc" || name == "create_date" || name == "last_use_date") {
            EXPECT_EQ(TestingSupport::printed_time(Json::as_string(member)), shown);
        } else {
            EXPECT_EQ(Json::as_string(member), shown);
        }
    }
}

// Every Value the JSON document of a fixture holds is the Value its text
// printout shows under the same label, and what the text shows besides
// (Effect, for one) is only a default for a Value the bridge did not report.
TEST(TextPrintout, ShowsEveryValueTheJsonDocumentHolds) {
    const auto state_of = [](const Value& json) {
        const Hue::FullState full = Hue::read_full_state(Hue::Bridge(), {}, {}, json);
        return state_printout(std::get<Hue::Configuration>(full), std::get<Hue::Lights>(full),
                              std::get<Hue::Groups>(full), std::get<Hue::Schedules>(full));
    };
    StatePrintout fixtures;
    fixtures.configuration =
        configuration_printout(Hue::Configuration::from_json({}, configuration_fixture()));
    fixtures.lights =
        lights_printout(Hue::Lights::from_json({}, fixture_state("lights_fixture.json", "lights")));
    fixtures.groups =
        groups_printout(Hue::Groups::from_json({}, fixture_state("groups_fixture.json", "groups")));
    fixtures.schedules = schedules_printout(
        Hue::Schedules::from_json({}, fixture_state("schedules_fixture.json", "schedules")));
    for (const StatePrintout& state : {state_of(sample_state()), fixtures}) {
        std::map<std::string, std::string> values = labelled_values(text_of(state));
        const Value json = to_json(state);
        expect_shown(Json::at(json, "configuration"), "Configuration/", values);
        for (const auto& [list, heading] :
             {std::pair{"lights", "Lights/"}, {"groups", "Groups/"}, {"schedules", "Schedules/"}}) {
            for (const auto& item : Json::as_array(Json::at(json, list))) {
                expect_shown(item, heading, values);
            }
        }
        // What is left: labels of no JSON value, and defaults.
        std::set<std::string> defaults = {"none", "0", "", "invalid", "/"};
        for (const auto& [key, shown] : values) {
            const std::string label = key.substr(key.rfind('/') + 1);
            if (label == "id" || label == "firmware" || label == "state" || label == "laststate" ||
                label == "whitelist") {
                continue;
            }
            EXPECT_EQ(1u, defaults.count(shown)) << key << " shows " << shown;
        }
    }
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
}  // namespace Commands
