#include "commands/printout_builder.hpp"

#include <string>

#include <gtest/gtest.h>

#include "commands/json_printout.hpp"
#include "hue/configuration.hpp"
#include "hue/groups.hpp"
#include "hue/lights.hpp"
#include "json/parse.hpp"
#include "json/value.hpp"

namespace Commands {
namespace {

using Json::Value;

// The members of the configuration printout that are present.
std::string present_members(const char* json) {
    const Value printout =
        to_json(configuration_printout(Hue::Configuration::from_json({}, Json::parse(json))));
    std::string names;
    for (const auto& [name, member] : Json::as_object(printout)) {
        if (!member.is_null()) names += (names.empty() ? "" : " ") + name;
    }
    return names;
}

// A configuration member is present exactly when the bridge reported it; a
// proxy only when the bridge uses one.
TEST(ConfigurationPrintoutBuilding, HoldsExactlyTheReportedMembers) {
    const struct {
        const char* json;
        const char* present;
    } cases[] = {
        {R"({"name": "B"})", "name"},
        {R"({"linkbutton": false})", "linkbutton"},
        {R"({"ipaddress": "192.0.2.1"})", "ipaddress"},
        {R"({"mac": ""})", "mac"},
        {R"({"netmask": "255.0.0.0"})", "netmask"},
        {R"({"gateway": "192.0.2.1"})", "gateway"},
        {R"({"dhcp": false})", "dhcp"},
        {R"({"portalservices": false})", "portalservices"},
        {R"({"UTC": "2014-05-01T07:05:00"})", "utc"},
        {R"({"localtime": "2014-05-01T07:05:00", "timezone": "UTC"})", ""},
        {R"({"swversion": "1"})", "swversion"},
        {R"({"swupdate": {"updatestate": 0, "url": "", "text": "", "notify": false}})", "swupdate"},
        {R"({"whitelist": {}})", "whitelist"},
        {R"({"proxyaddress": "192.0.2.9", "proxyport": 3128})", "proxy"},
        {R"({"proxyaddress": "none", "proxyport": 0})", ""},
        {R"({"proxyport": 3128})", ""},
        {R"({"proxyaddress": "192.0.2.9"})", ""},
        {R"([{"error": {"type": 1, "address": "/", "description": "unauthorized user"}}])", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        EXPECT_EQ(c.present, present_members(c.json));
    }
}

// Only a light known whole has a state, model and software version; of its
// state, the effect only when reported.
TEST(LightPrintoutBuilding, OnlyALightKnownWholeHasAState) {
    const Hue::Lights lights = Hue::Lights::from_json({}, Json::parse(R"({"1": {"name": "L"}})"));
    EXPECT_FALSE(light_printout(*lights.begin()).state.on.has_value());
    EXPECT_FALSE(light_printout(*lights.begin()).modelid.has_value());
    const Hue::Lights whole = Hue::Lights::from_json(
        {}, Json::parse(R"({"1": {"name": "L", "state": {"on": true, "effect": "none"}}})"));
    const LightPrintout light = light_printout(*whole.begin());
    EXPECT_EQ(true, light.state.on);
    EXPECT_EQ("none", light.state.effect);
    EXPECT_EQ("", light.modelid);
    const Hue::Lights white =
        Hue::Lights::from_json({}, Json::parse(R"({"1": {"name": "L", "state": {"on": true}}})"));
    EXPECT_FALSE(light_printout(*white.begin()).state.effect.has_value());
    EXPECT_FALSE(light_printout(*white.begin()).state.color->mode.has_value());
}

// A group's colour is present when any one colour field was reported.
TEST(GroupPrintoutBuilding, ColourPresentWithAnyColourField) {
    for (const char* field : {R"("colormode": "hs")", R"("xy": [0.1, 0.2])", R"("ct": 300)",
                              R"("hue": 1)", R"("sat": 1)"}) {
        SCOPED_TRACE(field);
        const std::string json =
            std::string(R"({"1": {"name": "G", "lights": [], "action": {)") + field + "}}}";
        const Hue::Groups groups = Hue::Groups::from_json({}, Json::parse(json));
        EXPECT_TRUE(group_printout(*groups.begin()).laststate.color.has_value());
    }
    const Hue::Groups plain = Hue::Groups::from_json(
        {}, Json::parse(R"({"1": {"name": "G", "lights": [], "action": {"on": true}}})"));
    EXPECT_FALSE(group_printout(*plain.begin()).laststate.color.has_value());
}

}  // namespace
}  // namespace Commands
