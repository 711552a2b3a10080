#include "hue/v2/event_properties.hpp"

#include <gtest/gtest.h>

#include "json/parse.hpp"
#include "json/text.hpp"

namespace Hue::V2 {
namespace {

TEST(LightStateAfter, GivesTheOlderMembersOfAnEventsProperties) {
    const char* const kState = R"({"on":true,"bri":120,"ct":300,"colormode":"ct","hue":7})";
    const struct {
        const char* item;
        const char* state;  // after; "" for none: the light is to be read
    } cases[] = {
        {R"({"on":{"on":false},"dimming":{"brightness":47.24409448818898}})",
         R"({"on":false,"bri":120,"ct":300,"colormode":"ct","hue":7})"},
        {R"({"dimming":{"brightness":100}})",
         R"({"on":true,"bri":254,"ct":300,"colormode":"ct","hue":7})"},
        {R"({"dimming":{"brightness":0.1}})",
         R"({"on":true,"bri":1,"ct":300,"colormode":"ct","hue":7})"},
        {R"({"on":{"on":false},"dimming":{"brightness":0}})",
         R"({"on":false,"bri":0,"ct":300,"colormode":"ct","hue":7})"},
        {R"({"color":{"xy":{"x":0.25,"y":0.5}}})",
         R"({"on":true,"bri":120,"ct":300,"colormode":"xy","hue":7,"xy":[0.25,0.5]})"},
        {R"({"color_temperature":{"mirek":null,"mirek_valid":false}})", kState},
        {R"({"color_temperature":{"mirek":366}})",
         R"({"on":true,"bri":120,"ct":366,"colormode":"ct","hue":7})"},
        {R"({"effects":{"status":"candle"},"id_v1":"/lights/3"})", kState},
        {R"({"id":"x","id_v1":"/lights/3","type":"light","owner":{},"service_id":0})", ""},
        {R"({"metadata":{"name":"Den"},"on":{"on":false}})", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item);
        const auto after = light_state_after(Json::parse(kState), Json::parse(c.item));
        EXPECT_EQ(c.state, after ? Json::text(Json::parse(c.state)) == Json::text(*after)
                                       ? std::string(c.state)
                                       : Json::text(*after)
                                 : std::string());
    }
}

// What the table of the watch's sensor events leaves out: connectivity, the
// older forms of a report, and the items that must lead to a read.
TEST(OlderItemAfter, AppliesEachItemOrAsksForARead) {
    const char* const kSensor = R"({"config":{},"state":{"lightlevel":1,"dark":true}})";
    const ButtonControls controls = {{"b2", 2}};
    const struct {
        const char* kind;
        const char* items;
        const char* after;  // "" for none: the resource is to be read
    } cases[] = {
        {"light",
         R"([{"type":"light","on":{"on":false}},{"type":"zigbee_connectivity","status":"connectivity_issue"}])",
         R"({"state":{"on":false,"reachable":false}})"},
        {"sensor", R"([{"type":"zigbee_connectivity","status":"connected"}])",
         R"({"config":{"reachable":true},"state":{"lightlevel":1,"dark":true}})"},
        {"sensor", R"([{"type":"temperature","temperature":{"temperature":-1.5},"enabled":false}])",
         R"({"config":{"on":false},"state":{"lightlevel":1,"dark":true,"temperature":-150}})"},
        {"sensor", R"([{"type":"button","id":"b2","button":{"last_event":"long_release"}}])",
         R"({"config":{},"state":{"lightlevel":1,"dark":true,"buttonevent":2003}})"},
        {"sensor",
         R"([{"type":"button","id":"b2","button":{"button_report":{"event":"repeat","updated":"2026-12-08T07:01:02.500Z"}}}])",
         R"({"config":{},"state":{"lightlevel":1,"dark":true,"buttonevent":2001,"lastupdated":"2026-12-08T07:01:02"}})"},
        {"sensor", R"([{"type":"light_level","light":{"light_level_report":{"light_level":9}}}])",
         ""},
        {"sensor",
         R"([{"type":"zigbee_connectivity","status":"connected"},{"type":"device_power","id":"p"}])",
         ""},
        {"sensor", R"([{"type":"button","id":"b2","button":{"last_event":"double_press"}}])", ""},
        {"sensor", R"([{"type":"button","id":"b9","button":{"last_event":"repeat"}}])", ""},
        {"sensor", R"([{"type":"device","metadata":{"name":"Den"}}])", ""},
        {"sensor", R"([{"type":"contact","contact_report":{"state":"contact"}}])", ""},
        {"light",
         R"([{"type":"zigbee_connectivity","status":"connected"},{"type":"light","id":"x"}])", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.items);
        const Json::Value older = Json::parse(std::string(c.kind) == "light" ? "{}" : kSensor);
        const auto after = older_item_after(c.kind, older, Json::parse(c.items), controls);
        EXPECT_EQ(*c.after == '\0' ? "" : Json::text(Json::parse(c.after)),
                  after ? Json::text(*after) : "");
    }
}

}  // namespace
}  // namespace Hue::V2
