#include "sim/clip_v2.hpp"

#include <string>

#include <gtest/gtest.h>

#include "json/parse.hpp"
#include "json/text.hpp"
#include "sim/event_data.hpp"

namespace Sim {
namespace {

using Json::parse;
using Json::Value;

// A colour light with effects and gradient points (1), a white light of
// 200-400 mirek (2), both in room 1, and a switch with a battery.
constexpr const char* kFixture =
    R"({"state":{"config":{"whitelist":{"k":{}},"bridgeid":"0200AAFFFE0A1B2C"},)"
    R"("lights":{"1":{"name":"Strip","state":{"on":true,"bri":127,"xy":[0.3,0.3],"ct":300,)"
    R"("colormode":"xy"}},"2":{"name":"Spot","capabilities":{"control":{"ct":{"min":200,)"
    R"("max":400}}},"state":{"on":false,"bri":10,"ct":300,"colormode":"ct"}}},)"
    R"("groups":{"1":{"name":"Den","type":"Room","lights":["1","2"],"action":{"on":false}}},)"
    R"("scenes":{"s":{"name":"S","group":"1","lights":["1"],"lightstates":{"1":{"bri":9}}}},)"
    R"("sensors":{"5":{"name":"Sw","type":"ZLLSwitch","config":{"battery":15},)"
    R"("state":{"buttonevent":2002,"lastupdated":"2026-01-02T03:04:05"}}}},)"
    R"("v2":{"lights":{"1":{"effects":{"effect_values":["no_effect","candle"],"status":"no_effect"},)"
    R"("gradient":{"points_capable":3,"mode_values":["interpolated_palette"]}}},)"
    R"("scenes":{"s":{"palette":{"color":[{"color":{"xy":{"x":0.5,"y":0.4}}}]}}},"buttons":{"5":2},)"
    R"("smart_scenes":[{"name":"Day","group":"1","timeslots":[{"hour":0,"minute":0,"scene":"s"}]}]}})";

// A bridge of kFixture serving the newer interface.
struct Clip {
    Clip() : bridge(parse(kFixture)) { bridge.serve_clip_v2(true); }

    Reply send(const std::string& method, const std::string& path, const std::string& body = "",
               const std::string& key = "k") {
        return bridge.handle(method, path, body, 0, key);
    }
    Value state_of(const std::string& light) {
        return Json::at(Json::at(Json::at(bridge.state(), "lights"), light), "state");
    }
    Value extras_of(const std::string& light) {
        const Value listed = parse(send("GET", "/clip/v2/resource/light").body);
        for (const auto& r : listed.at("data")) {
            if (r.at("id_v1") == "/lights/" + light) return r;
        }
        return Value();
    }

    SimBridge bridge;
};

std::string light_path(const std::string& id) {
    return "/clip/v2/resource/light/" + uuid_from("/lights/" + id);
}

TEST(ClipV2, ServesEachTypeFromTheOlderStateInTheEnvelope) {
    Clip clip;
    const Value all = parse(clip.send("GET", "/clip/v2/resource").body);
    EXPECT_EQ(Value::array(), all.at("errors"));
    std::string types;
    for (const auto& r : all.at("data")) types += Json::as_string(r.at("type")) + " ";
    EXPECT_EQ(
        "device device device device bridge light light room grouped_light grouped_light "
        "zigbee_connectivity device_software_update zigbee_connectivity device_software_update "
        "button button device_power zigbee_connectivity device_software_update scene smart_scene "
        "bridge_home ",
        types);
    const Value light = parse(clip.send("GET", light_path("1")).body).at("data").at(0);
    EXPECT_EQ(parse(R"({"on":true})"), light.at("on"));
    EXPECT_DOUBLE_EQ(50.0, Json::as_double(light.at("dimming").at("brightness")));
    EXPECT_EQ(parse(R"({"x":0.3,"y":0.3})"), light.at("color").at("xy"));
    const Value buttons = parse(clip.send("GET", "/clip/v2/resource/button").body).at("data");
    EXPECT_EQ(parse(R"({"event":"short_release","updated":"2026-01-02T03:04:05Z"})"),
              buttons.at(1).at("button").at("button_report"));
    EXPECT_FALSE(Json::has(buttons.at(0).at("button"), "button_report"));
    EXPECT_EQ(parse(R"({"battery_level":15,"battery_state":"low"})"),
              parse(clip.send("GET", "/clip/v2/resource/device_power").body)
                  .at("data")
                  .at(0)
                  .at("power_state"));
}

TEST(ClipV2, RefusesUnknownKeysPathsAndPlainBridges) {
    Clip clip;
    const struct {
        const char* method;
        std::string path;
        const char* key;
        int status;
    } cases[] = {
        {"GET", "/clip/v2/resource", "", 401},
        {"GET", "/clip/v2/resource/light", "nobody", 401},
        {"GET", "/clip/v2/resource/light/" + uuid_from("/lights/9"), "k", 404},
        {"GET", "/clip/v2/resource/nothing", "k", 404},
        {"DELETE", light_path("1"), "k", 405},
        {"PUT", "/clip/v2/resource/device_power/" + uuid_from("device_power/sensors/5/power"), "k",
         405},
        {"PUT", "/clip/v2/resource/bridge/" + uuid_from("bridge"), "k", 403},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.status, clip.send(c.method, c.path, "{}", c.key).status);
    }
    clip.bridge.serve_clip_v2(false);
    EXPECT_EQ(404, clip.send("GET", "/clip/v2/resource").status);
}

TEST(ClipV2, PutsChangeTheOlderStateAndTheNewerBlocks) {
    const std::string group = "/clip/v2/resource/grouped_light/" + uuid_from("/groups/1");
    const struct {
        std::string path;
        const char* body;
        const char* light;
        const char* member;  // of the older state, or "/block" of the newer view
        const char* value;
    } cases[] = {
        {light_path("1"), R"({"dimming":{"brightness":40.5}})", "1", "bri", "103"},
        {light_path("1"), R"({"dimming":{"brightness":0}})", "1", "bri", "1"},
        {light_path("1"), R"({"dimming_delta":{"action":"down","brightness_delta":10}})", "1",
         "bri", "102"},
        {light_path("1"), R"({"color":{"xy":{"x":0.2,"y":0.6}}})", "1", "xy", "[0.2,0.6]"},
        {light_path("2"), R"({"color_temperature":{"mirek":500}})", "2", "ct", "400"},
        {light_path("2"), R"({"color_temperature_delta":{"action":"down","mirek_delta":347}})", "2",
         "ct", "200"},
        {light_path("1"), R"({"on":{"on":false},"dynamics":{"duration":800}})", "1", "on", "false"},
        {light_path("1"), R"({"effects":{"effect":"candle"}})", "1", "/effects",
         R"({"effect":"candle","effect_values":["no_effect","candle"],"status":"candle"})"},
        {light_path("1"),
         R"({"gradient":{"points":[{"color":{"xy":{"x":0.1,"y":0.1}}},{"color":{"xy":{"x":0.2,"y":0.2}}}]}})",
         "1", "/gradient",
         R"({"mode_values":["interpolated_palette"],"points":[{"color":{"xy":{"x":0.1,"y":0.1}}},)"
         R"({"color":{"xy":{"x":0.2,"y":0.2}}}],"points_capable":3})"},
        {group, R"({"on":{"on":true},"dimming":{"brightness":100}})", "2", "bri", "254"},
        {"/clip/v2/resource/scene/" + uuid_from("/scenes/s"),
         R"({"recall":{"action":"dynamic_palette","dimming":{"brightness":20}}})", "1", "bri",
         "51"},
        {"/clip/v2/resource/smart_scene/" + uuid_from("smart_scene/0"),
         R"({"recall":{"action":"activate"}})", "1", "bri", "9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        Clip fresh;
        const Reply reply = fresh.send("PUT", c.path, c.body);
        EXPECT_EQ(200, reply.status) << reply.body;
        const Value now = c.member[0] == '/' ? fresh.extras_of(c.light).at(c.member + 1)
                                             : fresh.state_of(c.light).at(c.member);
        EXPECT_EQ(parse(c.value), now);
    }
}

TEST(ClipV2, RefusesWhatTheLightCannotDoAndChangesNothing) {
    Clip clip;
    const std::string group = "/clip/v2/resource/grouped_light/" + uuid_from("/groups/1");
    const struct {
        std::string path;
        const char* body;
        const char* error;
    } cases[] = {
        {light_path("1"), R"({"dimming":{"brightness":101},"on":{"on":false}})",
         "dimming.brightness must be 0 to 100"},
        {light_path("1"), R"({"effects":{"effect":"fire"}})",
         "effects.effect must be one of: no_effect, candle"},
        {light_path("2"), R"({"effects":{"effect":"candle"}})", "the light has no effects"},
        {light_path("2"), R"({"color":{"xy":{"x":0.2,"y":0.2}}})", "the light has no color"},
        {light_path("1"), R"({"gradient":{"points":[{"color":{"xy":{"x":0.1,"y":0.1}}}]}})",
         "gradient.points must hold 2 to 3 colours"},
        {light_path("1"), R"({"timed_effects":{"effect":"sunrise","duration":60000}})",
         "the light has no timed_effects"},
        {light_path("1"), R"({"signaling":{"signal":"alternating","duration":5000,"colors":[]}})",
         "signaling.colors must hold 2 colours"},
        {group, R"({"effects":{"effect":"candle"}})", "grouped_light has no member effects"},
        {group, R"({"dynamics":{"speed":0.5}})", "grouped_light has no dynamics.speed"},
        {"/clip/v2/resource/scene/" + uuid_from("/scenes/s"), R"({"recall":{"action":"go"}})",
         "recall.action must be active, static or dynamic_palette"},
    };
    const Value before = clip.bridge.state();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        const Reply reply = clip.send("PUT", c.path, c.body);
        EXPECT_EQ(400, reply.status);
        EXPECT_EQ(c.error, Json::as_string(parse(reply.body).at("errors").at(0).at("description")));
    }
    EXPECT_EQ(before, clip.bridge.state());
}

// Events carry the properties that changed in the newer shape, unless the
// older change holds more than they can say.
TEST(ClipV2, EventsCarryWhatChanged) {
    const struct {
        const char* path;  // a request's, or "/lights/2/state" set as a device reports it
        const char* body;
        const char* item;  // the light's item (or all items) without id, owner and service_id
    } cases[] = {
        {"/api/k/lights/1/state", R"({"bri":254,"on":false})",
         R"({"dimming":{"brightness":100.0},"id_v1":"/lights/1","on":{"on":false},"type":"light"})"},
        {"/api/k/lights/1/state", R"({"xy":[0.1,0.2]})",
         R"({"color":{"xy":{"x":0.1,"y":0.2}},"id_v1":"/lights/1","type":"light"})"},
        {"/api/k/lights/1/state", R"({"hue":100,"bri":200})",
         R"({"id_v1":"/lights/1","type":"light"})"},
        {"/lights/2/state", R"({"reachable":false})",
         R"([{"id_v1":"/lights/2","status":"disconnected","type":"zigbee_connectivity"}])"},
        {"/lights/1/state", R"({"on":false,"reachable":false})",
         R"([{"id_v1":"/lights/1","on":{"on":false},"type":"light"},)"
         R"({"id_v1":"/lights/1","status":"disconnected","type":"zigbee_connectivity"}])"},
        {"/sensors/5/config", R"({"battery":4,"reachable":false})",
         R"([{"id_v1":"/sensors/5","power_state":{"battery_level":4,"battery_state":"critical"},)"
         R"("type":"device_power"},)"
         R"({"id_v1":"/sensors/5","status":"disconnected","type":"zigbee_connectivity"}])"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        Clip fresh;
        if (c.path[1] == 'a')
            fresh.send("PUT", c.path, c.body);
        else
            fresh.bridge.update(
                [&](Value& s) { s[Value::json_pointer(c.path)].update(parse(c.body)); });
        const auto events =
            fresh.bridge.journal().wait(0, 0, std::chrono::milliseconds(0), {}).events;
        ASSERT_EQ(1u, events.size());
        Value items = parse(events[0].data).at(0).at("data");
        for (Value& item : items)
            for (const char* key : {"id", "owner", "service_id"}) item.erase(key);
        const Value want = parse(c.item);
        EXPECT_EQ(want.is_array() ? want : Value::array({want}), items);
    }
}

TEST(ClipV2, RateLimitAnswers429) {
    Clip clip;
    clip.bridge.set_rate_limit(2);
    EXPECT_EQ(200, clip.send("GET", "/clip/v2/resource/bridge").status);
    EXPECT_EQ(200, clip.send("GET", "/clip/v2/resource/bridge").status);
    const Reply third = clip.send("GET", "/clip/v2/resource/bridge");
    EXPECT_EQ(429, third.status);
    EXPECT_EQ("1", third.retry_after);
}

}  // namespace
}  // namespace Sim
