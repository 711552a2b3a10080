#include "hue/details/light_state_json.hpp"

#include <cstdint>

#include <gtest/gtest.h>

#include "hue/lights.hpp"
#include "json/parse.hpp"
#include "json/text.hpp"

namespace Hue {
namespace {

Json::Value parse(const char* text) { return Json::parse(text); }

LightState read_state(const char* json) {
    LightState state;
    details::read_state(parse(json), state);
    return state;
}

TEST(LightStateReading, ReadsEveryReportedField) {
    const LightState s = read_state(
        R"({"on":true,"effect":"colorloop","alert":"select","hue":40000,"bri":200,"sat":254,)"
        R"("ct":370,"xy":[0.25,0.5],"reachable":true,"colormode":"ct"})");
    EXPECT_TRUE(s.on);
    EXPECT_EQ("colorloop", s.effect);
    EXPECT_EQ("select", s.alert);
    EXPECT_EQ(40000, s.hue);
    EXPECT_EQ(200, s.bri);
    EXPECT_EQ(254, s.sat);
    EXPECT_EQ(370, s.ct);
    EXPECT_FLOAT_EQ(0.25f, s.x);
    EXPECT_FLOAT_EQ(0.5f, s.y);
    EXPECT_TRUE(s.reachable);
    EXPECT_EQ(ColorMode::ct, s.colormode);
}

TEST(LightStateReading, AbsentKeysKeepEarlierValues) {
    LightState s;
    details::read_state(parse(R"({"bri":10,"xy":[0.1,0.2],"colormode":"xy"})"), s);
    details::read_state(parse(R"({"on":true})"), s);
    EXPECT_EQ(10, s.bri);
    EXPECT_FLOAT_EQ(0.1f, s.x);
    EXPECT_EQ(ColorMode::xy, s.colormode);
    EXPECT_EQ("none", s.alert);
}

TEST(LightStateReading, NarrowsReportedIntegersToTheirFields) {
    struct Case {
        const char* json;
        std::uint16_t hue;
        std::uint16_t ct;
        std::uint8_t bri;
        std::uint8_t sat;
    } cases[] = {
        {R"({"hue":65536,"ct":65537,"bri":256,"sat":257})", 0, 1, 0, 1},
        {R"({"hue":65535,"ct":500,"bri":255,"sat":254})", 65535, 500, 255, 254},
        {R"({"hue":-1,"ct":-2,"bri":-1,"sat":300})", 65535, 65534, 255, 44},
        {R"({"hue":4294967297,"ct":70000.9,"bri":511.5,"sat":1})", 1, 4464, 255, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        const LightState s = read_state(c.json);
        EXPECT_EQ(c.hue, s.hue);
        EXPECT_EQ(c.ct, s.ct);
        EXPECT_EQ(c.bri, s.bri);
        EXPECT_EQ(c.sat, s.sat);
    }
}

TEST(LightStateReading, ReadsXyFromOneTwoOrMoreElements) {
    struct Case {
        const char* json;
        float x;
        float y;
    } cases[] = {
        {R"({"xy":[0.3]})", 0.3f, 0.7f},
        {R"({"xy":[0.3,0.4]})", 0.3f, 0.4f},
        {R"({"xy":[0.3,0.4,0.9]})", 0.3f, 0.4f},
        {R"({"xy":[]})", 0.6f, 0.7f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        LightState s;
        s.x = 0.6f;
        s.y = 0.7f;
        details::read_state(parse(c.json), s);
        EXPECT_FLOAT_EQ(c.x, s.x);
        EXPECT_FLOAT_EQ(c.y, s.y);
    }
}

TEST(LightStateReading, ColorModeTextsAreExact) {
    struct Case {
        const char* json;
        ColorMode mode;
    } cases[] = {
        {R"({"colormode":"hs"})", ColorMode::hs},
        {R"({"colormode":"xy"})", ColorMode::xy},
        {R"({"colormode":"ct"})", ColorMode::ct},
        {R"({"colormode":"XY"})", ColorMode::invalid},
        {R"({"colormode":"xy "})", ColorMode::invalid},
        {R"({"colormode":""})", ColorMode::invalid},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        LightState s;
        s.colormode = ColorMode::hs;
        details::read_state(parse(c.json), s);
        EXPECT_EQ(c.mode, s.colormode);
    }
}

TEST(LightStateReading, WrongTypeFailsAfterEarlierKeys) {
    LightState s;
    EXPECT_THROW(details::read_state(parse(R"({"on":true,"bri":"high"})"), s), Json::Error);
    EXPECT_TRUE(s.on);
    EXPECT_THROW(details::read_state(parse(R"({"xy":0.5})"), s), Json::Error);
    EXPECT_THROW(details::read_state(parse(R"(["on"])"), s), Json::Error);
}

// What differs is sent, and what `always` names whether it differs or not.
TEST(LightStateChange, SendsDifferingKeysAndThoseAskedAlways) {
    LightState reported = read_state(
        R"({"on":false,"bri":10,"hue":5,"sat":6,"ct":200,"xy":[0.5,0.25],"alert":"none",)"
        R"("effect":"none","colormode":"hs","reachable":true})");
    struct Case {
        const char* name;
        void (*change)(LightState&);
        std::uint16_t transitiontime;
        const char* body;
        std::uint32_t always = 0;  // LightField bits
    } cases[] = {
        {"bri", [](LightState& s) { s.bri = 200; }, 0, R"({"bri":200})"},
        {"bri with time", [](LightState& s) { s.bri = 200; }, 10,
         R"({"bri":200,"transitiontime":10})"},
        {"only x", [](LightState& s) { s.x = 0.75f; }, 0, R"({"xy":[0.75,0.25]})"},
        {"everything",
         [](LightState& s) {
             s.on = true;
             s.ct = 300;
             s.hue = 65535;
             s.sat = 1;
             s.alert = "select";
             s.effect = "colorloop";
         },
         0, R"({"alert":"select","ct":300,"effect":"colorloop","hue":65535,"on":true,"sat":1})"},
        {"colormode and reachable",
         [](LightState& s) {
             s.colormode = ColorMode::ct;
             s.reachable = false;
         },
         10, "null"},
        {"nothing", [](LightState&) {}, 65535, "null"},
        {"alert as reported, always", [](LightState&) {}, 0, R"({"alert":"none"})",
         LightField::alert},
        {"bri differs, on and xy always", [](LightState& s) { s.bri = 11; }, 5,
         R"({"bri":11,"on":false,"transitiontime":5,"xy":[0.5,0.25]})",
         LightField::on | LightField::xy},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LightState desired = reported;
        c.change(desired);
        EXPECT_EQ(c.body,
                  Json::text(details::state_change(reported, desired, c.transitiontime, c.always)));
    }
}

}  // namespace
}  // namespace Hue
