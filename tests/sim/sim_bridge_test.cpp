#include "sim/sim_bridge.hpp"

#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "json/parse.hpp"
#include "json/text.hpp"

namespace Sim {
namespace {

using Json::parse;
using Json::Value;

// The id a simulated bridge announces (mDNS) and the name its certificate
// carries: the configuration's "bridgeid", else the id its "mac" makes as
// bridges make theirs; the description's serial number is announced, never
// certified.
TEST(SimBridgeId, ComesFromTheConfigurationElseFromTheMacAddress) {
    const struct {
        const char* what;
        const char* config;  // the fixture's "config"
        const char* announced;
        const char* certified;
    } cases[] = {
        {"bridgeid beside another mac",
         R"({"bridgeid":"0200AAFFFE0A1B2C","mac":"00:17:88:1a:2b:3c"})", "0200AAFFFE0A1B2C",
         "0200aafffe0a1b2c"},
        {"mac alone", R"({"mac":"00:17:88:1a:2b:3c"})", "001788FFFE1A2B3C", "001788fffe1a2b3c"},
        {"mac in upper case", R"({"mac":"AB:CD:EF:01:23:45"})", "ABCDEFFFFE012345",
         "abcdeffffe012345"},
        {"mac one pair short", R"({"mac":"00:17:88:1a:2b"})", "serial-1", ""},
        {"mac one digit long", R"({"mac":"00:17:88:1a:2b:3c0"})", "serial-1", ""},
        {"mac with a digit that is not hex", R"({"mac":"00:17:88:1a:2b:3g"})", "serial-1", ""},
        {"mac with dashes", R"({"mac":"00-17-88-1a-2b-3c"})", "serial-1", ""},
        {"mac without separators", R"({"mac":"0017881a2b3c"})", "serial-1", ""},
        {"bridgeid that is not text", R"({"bridgeid":7,"mac":"00:17:88:1a:2b:3c"})",
         "001788FFFE1A2B3C", "001788fffe1a2b3c"},
        {"neither", R"({"name":"Hall"})", "serial-1", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Value fixture = parse(R"({"description":{"serialNumber":"serial-1"}})");
        fixture["state"]["config"] = parse(c.config);
        const SimBridge bridge(fixture);
        EXPECT_EQ(c.announced, bridge.bridge_id());
        EXPECT_EQ(c.certified, bridge.certificate_name());
    }
    EXPECT_EQ("", SimBridge(Value::object()).bridge_id());
}

// An id made from the MAC address is the simulator's own: the configuration
// the bridge shows still has no "bridgeid", as old firmware's had none.
TEST(SimBridgeId, MadeFromTheMacIsNotAddedToTheConfiguration) {
    SimBridge bridge(parse(R"({"state":{"config":{"name":"Hall","mac":"00:17:88:1a:2b:3c"}}})"));
    const Value shown = parse(bridge.handle("GET", "/api/config", "").body);
    EXPECT_EQ("00:17:88:1a:2b:3c", Json::as_string(Json::at(shown, "mac")));
    EXPECT_FALSE(Json::has(shown, "bridgeid"));
}

// The bundled sample names the id its MAC address makes, in every place that
// carries it.
TEST(SimBridgeId, TheSampleIsConsistent) {
    std::ifstream in(std::string(GLOWRIG_TEST_DATA) + "/../../fixtures/sample.json");
    std::stringstream text;
    text << in.rdbuf();
    const Value sample = parse(text.str());
    const Value& config = Json::at(Json::at(sample, "state"), "config");
    const std::string id = Json::as_string(Json::at(config, "bridgeid"));
    EXPECT_EQ(bridge_id_from_mac(Json::as_string(Json::at(config, "mac"))), id);
    EXPECT_EQ("0200AAFFFE0A1B2C", id);
    std::string lower = id;
    for (auto& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(lower, Json::as_string(Json::at(Json::at(Json::at(sample, "portal"), 0), "id")));
    EXPECT_EQ(lower, Json::as_string(Json::at(Json::at(sample, "description"), "serialNumber")));
    EXPECT_EQ(lower, SimBridge(sample).certificate_name());
}

// A bridge of two lights, one on, on the whitelist of user "u", with one
// schedule, one scene of group 1 (light 2) and one sensor; its listings give
// the second item by name alone.
constexpr const char* kRepliesFixture =
    R"({"listings":"mixed","state":{"config":{"name":"Hall","whitelist":{"u":{}}},)"
    R"("lights":{"1":{"name":"A","state":{"on":true,"xy":[0.4,0.5]}},)"
    R"("2":{"name":"B","state":{"on":false,"bri":1}}},)"
    R"("groups":{"1":{"name":"G","lights":["2"],"action":{"on":false}}},)"
    R"("scenes":{"s":{"name":"S","group":"1","lights":["2"],"lightstates":{"2":{"bri":9}}}},)"
    R"("schedules":{"1":{"name":"S","time":"PT00:01:00"}},)"
    R"("sensors":{"5":{"name":"Switch","state":{"buttonevent":34}}}}})";

// Replies are written as a bridge writes JSON: members in name order, numbers
// with 17 significant digits, controls escaped with upper-case hex digits.
// Paths are split at '/' (empty segments and the query left out), then each
// segment is percent-decoded; a path that cannot be decoded is refused.
TEST(SimBridgeReplies, AreTheBridgesTextForEachRequest) {
    const struct {
        const char* what;
        const char* method;
        const char* path;
        const char* body;
        int status;
        const char* reply;
    } cases[] = {
        {"an item whole, its numbers at full precision", "GET", "/api/u/lights/1", "", 200,
         R"({"name":"A","state":{"on":true,"xy":[0.40000000000000002,0.5]}})"},
        {"a listing, the second item by name", "GET", "/api/u/lights", "", 200,
         R"({"1":{"name":"A","state":{"on":true,"xy":[0.40000000000000002,0.5]}},"2":{"name":"B"}})"},
        {"group 0: the first light's state, true and false as such", "GET", "/api/u/groups/0", "",
         200,
         R"({"action":{"on":true,"xy":[0.40000000000000002,0.5]},"lights":["1","2"],)"
         R"("name":"Group 0","state":{"all_on":false,"any_on":true},"type":"LightGroup"})"},
        {"one element per member, in name order; values written back as JSON", "PUT",
         "/api/u/schedules/1", R"({"time":0.4,"name":"N\u0001\u001f\"\\","command":"c"})", 200,
         R"([{"error":{"address":"/schedules/1/command","description":)"
         R"("invalid value, \"c\", for parameter, command","type":7}},)"
         R"({"success":{"/schedules/1/name":"N\u0001\u001F\"\\"}},)"
         R"({"error":{"address":"/schedules/1/time","description":)"
         R"("invalid value, 0.40000000000000002, for parameter, time","type":7}}])"},
        {"configuration settings, the firmware update state among them", "PUT", "/api/u/config",
         R"({"proxyport":0.4,"swupdate":{"updatestate":2},"name":"Den"})", 200,
         R"([{"success":{"/config/name":"Den"}},{"error":{"address":"/config/proxyport",)"
         R"("description":"invalid value, 0.40000000000000002, for parameter, proxyport",)"
         R"("type":7}},{"success":{"/config/swupdate/updatestate":2}}])"},
        {"a schedule's status other than enabled or disabled", "PUT", "/api/u/schedules/1",
         R"({"status":"on"})", 200,
         R"([{"error":{"address":"/schedules/1/status","description":)"
         R"("invalid value, \"on\", for parameter, status","type":7}}])"},
        {"a body that is not JSON", "PUT", "/api/u/schedules/1", "{\"name\":", 200,
         R"([{"error":{"address":"/u/schedules/1","description":"body contains invalid json",)"
         R"("type":2}}])"},
        {"the scenes listing, without light states", "GET", "/api/u/scenes", "", 200,
         R"({"s":{"group":"1","lights":["2"],"name":"S"}})"},
        {"the whole state, its scenes without light states", "GET", "/api/u", "", 200,
         R"({"config":{"name":"Hall","whitelist":{"u":{}}},)"
         R"("groups":{"1":{"action":{"on":false},"lights":["2"],"name":"G"}},)"
         R"("lights":{"1":{"name":"A","state":{"on":true,"xy":[0.40000000000000002,0.5]}},)"
         R"("2":{"name":"B","state":{"bri":1,"on":false}}},)"
         R"("scenes":{"s":{"group":"1","lights":["2"],"name":"S"}},)"
         R"("schedules":{"1":{"name":"S","time":"PT00:01:00"}},)"
         R"("sensors":{"5":{"name":"Switch","state":{"buttonevent":34}}}})"},
        {"a scene whole", "GET", "/api/u/scenes/s", "", 200,
         R"({"group":"1","lights":["2"],"lightstates":{"2":{"bri":9}},"name":"S"})"},
        {"a scene recalled beside another action member", "PUT", "/api/u/groups/1/action",
         R"({"on":true,"scene":"s"})", 200,
         R"([{"success":{"/groups/1/action/scene":"s"}},{"success":{"/groups/1/action/on":true}}])"},
        {"a scene the bridge lacks", "PUT", "/api/u/groups/0/action", R"({"scene":"x"})", 200,
         R"([{"error":{"address":"/groups/0/action/scene","description":)"
         R"("invalid value, \"x\", for parameter, scene","type":7}}])"},
        {"a sensor whole", "GET", "/api/u/sensors/5", "", 200,
         R"({"name":"Switch","state":{"buttonevent":34}})"},
        {"the sensors", "GET", "/api/u/sensors", "", 200,
         R"({"5":{"name":"Switch","state":{"buttonevent":34}}})"},
        {"a sensor the bridge lacks", "GET", "/api/u/sensors/6", "", 200,
         R"([{"error":{"address":"/sensors/6","description":)"
         R"("resource, /sensors/6, not available","type":3}}])"},
        {"a sensor below a sensor", "GET", "/api/u/sensors/5/state", "", 200,
         R"([{"error":{"address":"/sensors/5/state","description":)"
         R"("resource, /sensors/5/state, not available","type":3}}])"},
        {"a sensor switched off, a config member it keeps", "PUT", "/api/u/sensors/5/config",
         R"({"on":false,"battery":9})", 200,
         R"([{"error":{"address":"/sensors/5/config/battery","description":)"
         R"("invalid value, 9, for parameter, battery","type":7}},)"
         R"({"success":{"/sensors/5/config/on":false}}])"},
        {"a config of a sensor the bridge lacks", "PUT", "/api/u/sensors/6/config",
         R"({"on":false})", 200,
         R"([{"error":{"address":"/sensors/6/config","description":)"
         R"("resource, /sensors/6/config, not available","type":3}}])"},
        {"a segment percent-encoded", "GET", "/api/u/lights/%32", "", 200,
         R"({"name":"B","state":{"bri":1,"on":false}})"},
        {"empty segments and the query left out", "GET", "//api//u/lights/2/?bri=%zz", "", 200,
         R"({"name":"B","state":{"bri":1,"on":false}})"},
        {"an encoded slash stays inside its segment", "GET", "/api/u/lights/1%2F..%2F2", "", 200,
         R"([{"error":{"address":"/lights/1/../2","description":)"
         R"("resource, /lights/1/../2, not available","type":3}}])"},
        {"a '%' without two hex digits", "GET", "/api/u/lights/%2", "", 400,
         "<html><body>bad request</body></html>"},
        {"a '%' before a letter that is not hex", "GET", "/api/%zz/config", "", 400,
         "<html><body>bad request</body></html>"},
        {"a byte outside ASCII", "GET", "/api/u/lights/\xc3\xa9", "", 400,
         "<html><body>bad request</body></html>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SimBridge bridge(parse(kRepliesFixture));
        const Reply reply = bridge.handle(c.method, c.path, c.body);
        EXPECT_EQ(c.status, reply.status);
        EXPECT_EQ(c.reply, reply.body);
    }
}

// A light state value must be an integer within its range as a whole: a
// number beyond 32 bits is refused, not cut to one within the range.
TEST(SimBridgeReplies, RefuseLightStateValuesOutOfRange) {
    for (const std::string bri : {"256", "-1", "1.0", "4294967297", "-9223372036854775808"}) {
        SCOPED_TRACE(bri);
        SimBridge bridge(parse(kRepliesFixture));
        const Reply reply = bridge.handle("PUT", "/api/u/lights/2/state", R"({"bri":)" + bri + "}");
        const std::string refusal = "invalid value, " + (bri == "1.0" ? "1" : bri) + ", for";
        EXPECT_NE(std::string::npos, reply.body.find(refusal)) << reply.body;
        EXPECT_EQ(1, Json::as_int(bridge.state().at("lights").at("2").at("state").at("bri")));
    }
}

// POST /api grants a requested name of 10 to 40 letters and digits as it is;
// any other is refused beside the grant of a generated one, refusal first.
TEST(SimBridgeUsers, AreGrantedAsRequestedOrGenerated) {
    const struct {
        const char* what;
        const char* fixture;
        const char* body;
        const char* reply;  // {generated}: the name the bridge made
    } cases[] = {
        {"a valid name", R"({"linkbutton":true})", R"({"devicetype":"d","username":"abcdefghij"})",
         R"([{"success":{"username":"abcdefghij"}}])"},
        {"a name too short", R"({"linkbutton":true})", R"({"devicetype":"d","username":"short"})",
         R"([{"error":{"address":"/username","description":)"
         R"("invalid value, short, for parameter, username","type":7}},)"
         R"({"success":{"username":"{generated}"}}])"},
        {"no name", R"({"linkbutton":true})", R"({"devicetype":"d"})",
         R"([{"success":{"username":"{generated}"}}])"},
        {"a bridge that generates every name", R"({"linkbutton":true,"generatenames":true})",
         R"({"devicetype":"d","username":"abcdefghij"})",
         R"([{"success":{"username":"{generated}"}}])"},
        {"the link button not pressed", "{}", R"({"devicetype":"d"})",
         R"([{"error":{"address":"","description":"link button not pressed","type":101}}])"},
        {"no device type", R"({"linkbutton":true})", R"({"username":"abcdefghij"})",
         R"([{"error":{"address":"/","description":"invalid/missing parameters in body",)"
         R"("type":5}}])"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SimBridge bridge(parse(c.fixture));
        std::string reply = bridge.handle("POST", "/api", c.body).body;
        const Value whitelist = bridge.state().at("config").at("whitelist");
        for (const auto& [name, entry] : whitelist.items()) {
            EXPECT_EQ("d", Json::as_string(entry.at("name")));
            if (name.size() == 32 && reply.find(name) != std::string::npos) {
                reply.replace(reply.find(name), name.size(), "{generated}");
            }
        }
        EXPECT_EQ(c.reply, reply);
        EXPECT_EQ(reply.find("success") == std::string::npos ? 0u : 1u, whitelist.size());
    }
}

// The containers of the event `data` in short: "update: light /lights/1,
// grouped_light /groups/1; add: ...". Checks each resource's id is the one its
// id_v1 gives.
std::string containers_of(const std::string& data) {
    std::string text;
    for (const auto& container : parse(data)) {
        text += (text.empty() ? "" : "; ") + Json::as_string(container.at("type")) + ":";
        std::string separator = " ";
        for (const auto& resource : container.at("data")) {
            const std::string id_v1 = Json::as_string(resource.at("id_v1"));
            EXPECT_EQ(uuid_from(id_v1), Json::as_string(resource.at("id"))) << id_v1;
            text += separator + Json::as_string(resource.at("type")) + " " + id_v1;
            separator = ", ";
        }
    }
    return text;
}

// Three lights, two in group 1, a scene of light 3, a sensor, and a light a
// search finds.
constexpr const char* kEventsFixture =
    R"({"state":{"config":{"whitelist":{"u":{}}},)"
    R"("lights":{"1":{"name":"A","state":{"on":true,"bri":1}},"10":{"name":"T","state":{}},)"
    R"("2":{"name":"B","state":{"on":false}}},)"
    R"("groups":{"1":{"name":"G","lights":["1","10"],"action":{"on":false}}},)"
    R"("scenes":{"s":{"name":"S","group":"1","lights":["10"],"lightstates":{"10":{"bri":9}}}},)"
    R"("sensors":{"5":{"name":"Switch","state":{"buttonevent":34}}}},)"
    R"("newlights":{"7":{"name":"New"}}})";

// Each request that changes lights, groups or sensors makes one event naming
// every resource it changed; one that changes nothing makes none.
TEST(SimBridgeEvents, EachChangeIsOneEventNamingWhatChanged) {
    const struct {
        const char* what;
        const char* method;
        const char* path;
        const char* body;
        const char* containers;  // empty: no event
    } cases[] = {
        {"a light's state", "PUT", "/api/u/lights/2/state", R"({"on":true})",
         "update: light /lights/2"},
        {"a light's name", "PUT", "/api/u/lights/1", R"({"name":"Z"})", "update: light /lights/1"},
        {"a state the light already has", "PUT", "/api/u/lights/1/state", R"({"on":true})", ""},
        {"a value refused", "PUT", "/api/u/lights/1/state", R"({"bri":256})", ""},
        {"a reading", "GET", "/api/u/lights/1", "", ""},
        {"a group's action: the group and its lights, by id as listed", "PUT",
         "/api/u/groups/1/action", R"({"on":true,"bri":7})",
         "update: light /lights/1, light /lights/10, grouped_light /groups/1"},
        {"group 0's action: every light that changed", "PUT", "/api/u/groups/0/action",
         R"({"on":true})", "update: light /lights/10, light /lights/2"},
        {"a scene recalled in its group", "PUT", "/api/u/groups/1/action", R"({"scene":"s"})",
         "update: light /lights/10"},
        {"a group made", "POST", "/api/u/groups", R"({"name":"N","lights":["2"]})",
         "add: grouped_light /groups/2"},
        {"a group deleted", "DELETE", "/api/u/groups/1", "", "delete: grouped_light /groups/1"},
        {"a light deleted", "DELETE", "/api/u/lights/10", "", "delete: light /lights/10"},
        {"a search finds a light", "POST", "/api/u/lights", "", "add: light /lights/7"},
        {"the configuration, which is not watched", "PUT", "/api/u/config", R"({"name":"Den"})",
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SimBridge bridge(parse(kEventsFixture));
        bridge.handle(c.method, c.path, c.body);
        const JournalWait events = bridge.journal().wait(0, 0, std::chrono::milliseconds(0), {});
        ASSERT_EQ(c.containers[0] == '\0' ? 0u : 1u, events.events.size());
        if (!events.events.empty()) {
            EXPECT_EQ(c.containers, containers_of(events.events[0].data));
        }
    }
}

// A change made by hand is one event too: its containers in the order update,
// add, delete, each with lights, groups, then sensors.
TEST(SimBridgeEvents, AChangeByHandIsOneEventInContainerOrder) {
    SimBridge bridge(parse(kEventsFixture));
    bridge.update([](Value& state) {
        state["sensors"].erase("5");
        state["sensors"]["6"] = parse(R"({"name":"Motion"})");
        state["lights"]["3"] = parse(R"({"name":"C"})");
        state["groups"]["1"]["name"] = "H";
        state["lights"]["2"]["state"]["on"] = true;
        state["config"]["name"] = "not watched";
    });
    bridge.update([](Value& state) { state["config"]["name"] = "still not watched"; });
    const JournalWait events = bridge.journal().wait(0, 0, std::chrono::milliseconds(0), {});
    ASSERT_EQ(1u, events.events.size());
    EXPECT_EQ(
        "update: light /lights/2, grouped_light /groups/1; add: light /lights/3, sensor "
        "/sensors/6; delete: sensor /sensors/5",
        containers_of(events.events[0].data));
}

}  // namespace
}  // namespace Sim
