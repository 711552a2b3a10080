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

}  // namespace
}  // namespace Hue::V2
