#include "commands/sensor_values.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "json/parse.hpp"

namespace Commands {
namespace {

// Each reported number in the words users read: the button in the
// thousands and the action in the rest, hundredths of a degree, and lux
// from 10000 x log10(lux) + 1 (a level that large shows a formula off by one).
TEST(SensorValues, DecodeButtonsTemperaturesAndLightLevels) {
    const struct {
        std::int64_t code;
        const char* text;
    } buttons[] = {{1002, "button 1 short release"}, {4000, "button 4 initial press"},
                   {2001, "button 2 hold"},          {3003, "button 3 long release"},
                   {1004, "buttonevent 1004"},       {34, "buttonevent 34"},
                   {-1002, "buttonevent -1002"}};
    for (const auto& b : buttons) EXPECT_EQ(b.text, button_text(b.code)) << b.code;

    const struct {
        std::int64_t hundredths;
        const char* text;
    } temperatures[] = {{2157, "21.57 °C"}, {2150, "21.5 °C"}, {-5, "-0.05 °C"}, {0, "0 °C"}};
    for (const auto& t : temperatures) {
        EXPECT_EQ(t.text, celsius_text(celsius(t.hundredths))) << t.hundredths;
    }

    const struct {
        std::int64_t level;
        const char* text;
    } levels[] = {{-3, "0 lux"},      {0, "0 lux"},         {1, "1 lux"},         {5001, "3.2 lux"},
                  {24772, "300 lux"}, {40001, "10000 lux"}, {50001, "100000 lux"}};
    for (const auto& l : levels) EXPECT_EQ(l.text, lux_text(lux(l.level))) << l.level;
}

// Decoded members first in their order, then the others by name as
// NAME=JSON (a known member of another type among them); no time.
TEST(SensorValues, ListTheStateDecodedThenRaw) {
    const auto values = sensor_values(Json::parse(
        R"({"status":2,"buttonevent":2002,"dark":false,"presence":true,"lastupdated":"none",
            "temperature":"warm"})"));
    std::vector<std::string> seen;
    for (const auto& v : values) seen.push_back(v.label + "|" + v.word + "|" + v.text);
    EXPECT_EQ(
        (std::vector<std::string>{"Presence|motion|motion", "Dark|not dark|0",
                                  "LastButton|button 2 short release|button 2 short release",
                                  "status|status=2|2", R"(temperature|temperature="warm"|"warm")"}),
        seen);
    EXPECT_TRUE(sensor_values(Json::parse("[1]")).empty());
}

}  // namespace
}  // namespace Commands
