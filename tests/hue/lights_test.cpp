#include "hue/lights.hpp"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hue/details/light_impl.hpp"
#include "json/parse.hpp"
#include "json/text.hpp"

namespace Hue {
namespace {

Json::Value parse(const char* text) { return Json::parse(text); }

class LightTest : public ::testing::Test {
protected:
    std::shared_ptr<details::Light_Impl> impl =
        std::make_shared<details::Light_Impl>(Client(), "3");
};

TEST_F(LightTest, LightWithoutStateKeepsBothRecords) {
    impl->read(parse(R"({"name":"Desk"})"));
    EXPECT_FALSE(impl->whole());  // a name alone, as old firmware lists lights
    impl->read(parse(R"({"name":"Desk","state":{"bri":10,"on":true}})"));
    EXPECT_TRUE(impl->whole());
    LightState desired = impl->state();
    desired.bri = 99;
    impl->set_desired(desired);
    impl->read(parse(R"({"name":"Lamp","modelid":"CL-100"})"));
    EXPECT_EQ("Lamp", impl->name());
    EXPECT_EQ("CL-100", impl->modelid());
    EXPECT_EQ(10, impl->state().bri);
    EXPECT_TRUE(impl->whole());
    EXPECT_EQ(R"({"bri":99})", Json::text(impl->state_body(0)));
    // An alert asked for is sent though the light reports it; a read forgets it.
    impl->set_desired(impl->state(), LightField::alert);
    EXPECT_EQ(R"({"alert":"none"})", Json::text(impl->state_body(0)));
    impl->read(parse(R"({"state":{}})"));
    EXPECT_TRUE(impl->state_body(0).is_null());
}

// The keys of the last state read, so that a printout can tell a light
// without an effect from one whose effect is "none".
TEST_F(LightTest, StateKeysAreThoseOfTheLastStateRead) {
    EXPECT_EQ(0u, Light(impl).reported_fields());
    impl->read(parse(R"({"state":{"on":true,"effect":"none","xy":[0.1,0.2],"reachable":true}})"));
    EXPECT_EQ(LightField::on | LightField::effect | LightField::xy, Light(impl).reported_fields());
    impl->read(parse(R"({"name":"Desk"})"));
    EXPECT_EQ(LightField::on | LightField::effect | LightField::xy, Light(impl).reported_fields());
    impl->read(parse(R"({"state":{"bri":1}})"));
    EXPECT_EQ(std::uint32_t{LightField::bri}, Light(impl).reported_fields());
}

TEST_F(LightTest, SaveStateWithNothingChangedSendsNothing) {
    // The placeholder client points at 127.0.0.1, where no bridge answers: a
    // request would fail.
    impl->read(parse(R"({"state":{"bri":10}})"));
    Light light(impl);
    EXPECT_NO_THROW(light.save_state(100));
}

TEST(LightsFromJson, SkipsLastscanAndKeepsKeyOrder) {
    const Lights lights = Lights::from_json(
        Client(), parse(R"({"lastscan":"2014-05-01T07:00:00","2":{"name":"B"},"1":{"name":"A"},)"
                        R"("7":{},"2":{"name":"B"}})"));
    std::vector<std::string> seen;
    for (const Light& light : lights) seen.push_back(light.id() + "=" + light.name());
    // A repeated id is one light.
    EXPECT_EQ((std::vector<std::string>{"1=A", "2=B", "7="}), seen);
    // A light that is not an object is no light.
    for (const char* json : {R"({"7":"odd"})", R"({"1":{},"2":null})"}) {
        SCOPED_TRACE(json);
        EXPECT_THROW(Lights::from_json(Client(), parse(json)), Json::Error);
    }
}

TEST(LightsFromJson, LastscanAloneGivesNoLights) {
    EXPECT_TRUE(Lights::from_json(Client(), parse(R"({"lastscan":"none"})")).empty());
    EXPECT_THROW(Lights::from_json(Client(), parse("[]")), Json::Error);
}

}  // namespace
}  // namespace Hue
