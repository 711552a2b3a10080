#include "commands/json_printout.hpp"

#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "commands/printout_builder.hpp"
#include "commands/watch_changes.hpp"
#include "hue/bridge.hpp"
#include "hue/configuration.hpp"
#include "hue/groups.hpp"
#include "hue/lights.hpp"
#include "hue/scenes.hpp"
#include "hue/schedules.hpp"
#include "json/parse.hpp"
#include "json/value.hpp"

namespace Commands {
namespace {

using Json::Value;

template <class Printout>
std::string json_of(const Printout& printout) {
    std::ostringstream out;
    print_json(out, printout);
    return out.str();
}

LightsPrintout lights(const char* json) {
    return lights_printout(Hue::Lights::from_json({}, Json::parse(json)));
}

GroupsPrintout groups(const char* json) {
    return groups_printout(Hue::Groups::from_json({}, Json::parse(json)));
}

SchedulesPrintout schedules(const char* json) {
    return schedules_printout(Hue::Schedules::from_json({}, Json::parse(json)));
}

ConfigurationPrintout configuration(const char* json) {
    return configuration_printout(Hue::Configuration::from_json({}, Json::parse(json)));
}

// Each document built from a bridge's reply, compared whole: null where the
// bridge reported nothing, the values of the colour mode alone, times in
// ISO 8601, a schedule's command as an object.
TEST(JsonPrintout, WritesEachDocumentWithNullForWhatWasNotReported) {
    const struct {
        const char* name;
        std::function<std::string()> json;
        const char* expected;
    } cases[] = {
        {"light in mode xy",
         [] {
             return json_of(lights(R"({"2": {"name": "Porch", "modelid": "CL-100",
                 "swversion": "1.4.2", "state": {"on": false, "bri": 1, "hue": 0, "sat": 0,
                 "xy": [0.3127, 0.329], "ct": 153, "alert": "none", "effect": "none",
                 "colormode": "xy", "reachable": false}}})"));
         },
         R"({"lights":[{"capabilities":null,"id":"2","modelid":"CL-100","name":"Porch","productname":null,"state":{"alert":"none","bri":1,"colormode":"xy","ct":null,"effect":"none","hue":null,"on":false,"reachable":false,"sat":null,"x":0.3127,"y":0.329},"swversion":"1.4.2","type":null}]})"},
        {"light in mode hs without effect",
         [] {
             return json_of(lights(R"({"1": {"name": "Hall", "modelid": "M", "swversion": "1",
                 "state": {"on": true, "bri": 254, "hue": 10000, "sat": 200, "alert": "none",
                 "colormode": "hs", "reachable": true}}})"));
         },
         R"({"lights":[{"capabilities":null,"id":"1","modelid":"M","name":"Hall","productname":null,"state":{"alert":"none","bri":254,"colormode":"hs","ct":null,"effect":null,"hue":10000,"on":true,"reachable":true,"sat":200,"x":null,"y":null},"swversion":"1","type":null}]})"},
        {"new light given by name",
         [] { return json_of(lights(R"({"9": {"name": "Hue Lamp 9"}, "lastscan": "none"})")); },
         R"({"lights":[{"capabilities":null,"id":"9","modelid":null,"name":"Hue Lamp 9","productname":null,"state":{"alert":null,"bri":null,"colormode":null,"ct":null,"effect":null,"hue":null,"on":null,"reachable":null,"sat":null,"x":null,"y":null},"swversion":null,"type":null}]})"},
        {"lights with what they can show",
         [] {
             return json_of(lights(R"({
                 "1": {"name": "Hall", "type": "Extended color light", "productname": "Bulb",
                       "capabilities": {"control": {"colorgamuttype": "C",
                       "colorgamut": [[0.6915, 0.3083], [0.17, 0.7], [0.1532, 0.0475]],
                       "ct": {"min": 153, "max": 500}}}},
                 "2": {"name": "Desk", "type": "Color temperature light",
                       "capabilities": {"control": {"ct": {"min": 153, "max": 454}}}},
                 "3": {"name": "Odd", "capabilities": {"control": {"colorgamut": [[0.7, 0.3]],
                       "ct": {"min": 500, "max": 153}}}},
                 "4": {"name": "Plug", "type": "On/Off plug-in unit", "capabilities": {}}})"));
         },
         R"({"lights":[)"
         R"({"capabilities":{"colorgamut":[[0.6915,0.3083],[0.17,0.7],[0.1532,0.0475]],"ctrange":{"max":500,"min":153}},"id":"1","modelid":null,"name":"Hall","productname":"Bulb",)"
         R"("state":{"alert":null,"bri":null,"colormode":null,"ct":null,"effect":null,"hue":null,"on":null,"reachable":null,"sat":null,"x":null,"y":null},"swversion":null,"type":"Extended color light"},)"
         R"({"capabilities":{"colorgamut":null,"ctrange":{"max":454,"min":153}},"id":"2","modelid":null,"name":"Desk","productname":null,)"
         R"("state":{"alert":null,"bri":null,"colormode":null,"ct":null,"effect":null,"hue":null,"on":null,"reachable":null,"sat":null,"x":null,"y":null},"swversion":null,"type":"Color temperature light"},)"
         R"({"capabilities":{"colorgamut":null,"ctrange":null},"id":"3","modelid":null,"name":"Odd","productname":null,)"
         R"("state":{"alert":null,"bri":null,"colormode":null,"ct":null,"effect":null,"hue":null,"on":null,"reachable":null,"sat":null,"x":null,"y":null},"swversion":null,"type":null},)"
         R"({"capabilities":{"colorgamut":null,"ctrange":null},"id":"4","modelid":null,"name":"Plug","productname":null,)"
         R"("state":{"alert":null,"bri":null,"colormode":null,"ct":null,"effect":null,"hue":null,"on":null,"reachable":null,"sat":null,"x":null,"y":null},"swversion":null,"type":"On/Off plug-in unit"}]})"},
        {"groups with and without colour",
         [] {
             return json_of(groups(R"({
                 "2": {"name": "Kitchen", "lights": ["3"], "action": {"on": false, "bri": 50},
                       "type": "Room", "class": "Kitchen"},
                 "3": {"name": "Empty", "lights": [], "action": {"ct": 300, "alert": "select"}}})"));
         },
         R"({"groups":[{"class":"Kitchen","id":"2","laststate":{"alert":null,"bri":50,"colormode":null,"ct":null,"effect":null,"hue":null,"on":false,"sat":null,"x":null,"y":null},"lights":["3"],"name":"Kitchen","type":"Room"},{"class":null,"id":"3","laststate":{"alert":"select","bri":null,"colormode":null,"ct":null,"effect":null,"hue":null,"on":null,"sat":null,"x":null,"y":null},"lights":[],"name":"Empty","type":null}]})"},
        {"schedules",
         [] {
             return json_of(schedules(R"({
                 "1": {"name": "Wake up", "description": "Morning", "time": "2014-05-01T07:00:00",
                       "status": "enabled", "command": {"address": "/api/abc/groups/0/action",
                       "body": {"on": true}, "method": "PUT"}},
                 "2": {"name": "Old", "description": "", "status": "disabled"}})"));
         },
         R"({"schedules":[{"command":{"address":"/api/abc/groups/0/action","body":{"on":true},"method":"PUT"},"description":"Morning","id":"1","name":"Wake up","status":"enabled","time":"2014-05-01T07:00:00"},{"command":null,"description":"","id":"2","name":"Old","status":"disabled","time":null}]})"},
        {"configuration shown to a stranger",
         [] {
             return json_of(ConfigPrintout{std::nullopt, configuration(R"({"name": "Living room",
                 "swversion": "2.0.12", "apiversion": "1.2.1", "mac": "02:00:aa:1a:2b:3c"})")});
         },
         R"({"configuration":{"dhcp":null,"gateway":null,"ipaddress":null,"linkbutton":null,"mac":"02:00:aa:1a:2b:3c","name":"Living room","netmask":null,"portalservices":null,"proxy":null,"swupdate":null,"swversion":"2.0.12","utc":null,"whitelist":null},"result":null})"},
        {"configuration after a change",
         [] {
             return json_of(ConfigPrintout{"User created", configuration(R"({"name": "B",
                 "UTC": "2014-05-01T07:05:00", "proxyaddress": "none", "proxyport": 0,
                 "swupdate": {"updatestate": 2, "url": "u", "text": "t", "notify": true},
                 "linkbutton": true, "ipaddress": "192.0.2.10", "netmask": "255.255.255.0",
                 "gateway": "192.0.2.1", "dhcp": false, "portalservices": true, "mac": "m",
                 "swversion": "1", "whitelist": {"u1": {"last use date": "2014-04-30T21:15:03",
                 "create date": "2013-12-24T18:00:00", "name": "phone"}}})")});
         },
         R"({"configuration":{"dhcp":false,"gateway":"192.0.2.1","ipaddress":"192.0.2.10","linkbutton":true,"mac":"m","name":"B","netmask":"255.255.255.0","portalservices":true,"proxy":null,"swupdate":{"notify":true,"text":"t","updatestate":2,"url":"u"},"swversion":"1","utc":"2014-05-01T07:05:00Z","whitelist":[{"create_date":"2013-12-24T18:00:00Z","id":"u1","last_use_date":"2014-04-30T21:15:03Z","name":"phone"}]},"result":"User created"})"},
        {"configuration with a proxy",
         [] {
             return json_of(configuration(R"({"proxyaddress": "192.0.2.9",
                 "proxyport": 3128})"));
         },
         R"({"dhcp":null,"gateway":null,"ipaddress":null,"linkbutton":null,"mac":null,"name":null,"netmask":null,"portalservices":null,"proxy":{"address":"192.0.2.9","port":3128},"swupdate":null,"swversion":null,"utc":null,"whitelist":null})"},
        {"bridges",
         [] {
             return json_of(bridges_printout(
                 {Hue::Bridge("a", {.host = "10.0.0.3"}, "m"),
                  Hue::Bridge("b", {.scheme = Hue::Scheme::Https, .host = "::1", .port = 8443})}));
         },
         R"({"bridges":[{"address":"10.0.0.3","id":"a","ip":"10.0.0.3","mac":"m","port":80,"scheme":"http"},{"address":"https://[::1]:8443","id":"b","ip":"::1","mac":null,"port":8443,"scheme":"https"}]})"},
        {"group created",
         [] {
             return json_of(ChangePrintout{"Group created.", "created", "7"});
         },
         R"({"id":"7","result":"created"})"},
        {"group created without an id",
         [] {
             return json_of(ChangePrintout{"Group created.", "created", std::nullopt});
         },
         R"({"id":null,"result":"created"})"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(std::string(c.expected) + "\n", c.json());
    }
}

// A state document holds the configuration and the three lists whole.
TEST(JsonPrintout, StateHoldsEveryPart) {
    StatePrintout state;
    state.lights = lights(R"({"1": {"name": "L"}})");
    state.groups = groups(R"({"1": {"name": "G", "lights": [], "action": {}}})");
    state.schedules = schedules(R"({"1": {"name": "S"}})");
    const Value document = to_json(state);
    EXPECT_EQ(to_json(state.configuration), Json::at(document, "configuration"));
    EXPECT_EQ(Json::at(to_json(state.lights), "lights"), Json::at(document, "lights"));
    EXPECT_EQ(Json::at(to_json(state.groups), "groups"), Json::at(document, "groups"));
    EXPECT_EQ(Json::at(to_json(state.schedules), "schedules"), Json::at(document, "schedules"));
    EXPECT_EQ(4u, document.size());
}

// The names docs/json.md documents: the first `name` of each row of the
// table under "## Names".
std::set<std::string> documented_names() {
    std::ifstream in(std::string(GLOWRIG_TEST_DATA) + "/../../docs/json.md");
    std::set<std::string> names;
    bool in_names = false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("## ", 0) == 0) in_names = line == "## Names";
        if (in_names && line.rfind("| `", 0) == 0) {
            names.insert(line.substr(3, line.find('`', 3) - 3));
        }
    }
    return names;
}

// Adds the name of every member of `json`, at any depth, to `names`; a
// schedule's command and a watch line's changes are the bridge's, not ours.
void collect_names(const Value& json, std::set<std::string>& names) {
    if (json.is_object()) {
        for (const auto& [key, member] : Json::as_object(json)) {
            names.insert(key);
            if (key != "command" && key != "changes") collect_names(member, names);
        }
    } else if (json.is_array()) {
        for (const auto& element : Json::as_array(json)) collect_names(element, names);
    }
}

// Together the documents use exactly the names docs/json.md documents.
TEST(JsonPrintout, DocumentsUseExactlyTheDocumentedNames) {
    StatePrintout state;
    state.configuration = configuration(R"({"swupdate": {"updatestate": 0, "url": "",
        "text": "", "notify": false}, "whitelist": {"u": {"last use date": "",
        "create date": "", "name": ""}}})");
    state.lights = lights(R"({"1": {"name": "L", "state": {}, "capabilities": {"control":
        {"colorgamut": [[0.7, 0.3], [0.2, 0.7], [0.1, 0.1]], "ct": {"min": 153, "max": 500}}}}})");
    state.groups = groups(R"({"1": {"name": "G", "lights": [], "action": {}}})");
    state.schedules = schedules(R"({"1": {"name": "S", "command": {"address": "/x"}}})");
    std::set<std::string> names;
    for (const Value& document :
         {to_json(state), to_json(ConfigPrintout{std::nullopt, state.configuration}),
          to_json(state.lights), to_json(state.groups), to_json(state.schedules),
          to_json(bridges_printout({Hue::Bridge("a", {.host = "10.0.0.3"}, "m")})),
          to_json(scenes_printout(
              Hue::Scenes::from_json({}, Json::parse(R"({"s": {"name": "S", "group": "1"}})")))),
          to_json(SensorsPrintout{{SensorPrintout{}}, false}),
          to_json(ChangePrintout{"", "deleted", "1"}),
          Json::parse(
              change_line({"light", "1", "L", Json::parse(R"({"on":true})"), ChangeEvent::changed},
                          "2026-12-08T14:03:07", true)),
          Json::parse(
              change_line({"light", "1", "L", Value::object(), ChangeEvent::removed}, "", true))}) {
        collect_names(document, names);
    }
    EXPECT_EQ(documented_names(), names);
}

}  // namespace
}  // namespace Commands
