#include "cli/suggestion.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace Cli {
namespace {

TEST(EditDistance, CountsEachEditOnce) {
    const struct {
        const char* a;
        const char* b;
        std::size_t edits;
    } cases[] = {
        {"", "", 0},
        {"bri", "", 3},
        {"", "on", 2},
        {"bri", "bri", 0},
        {"sta", "sat", 1},
        {"lihgt", "light", 1},
        {"ab", "ba", 1},
        {"ca", "abc", 3},
        {"brie", "bri", 1},
        {"xbri", "bri", 1},
        {"heu", "help", 2},
        {"kitten", "sitting", 3},
        {"lihgt", "lights", 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.edits, edit_distance(c.a, c.b)) << c.a << " " << c.b;
        EXPECT_EQ(c.edits, edit_distance(c.b, c.a)) << c.b << " " << c.a;
    }
}

TEST(Suggestion, NamesTheOneNearestName) {
    const std::vector<std::string> light = {"help",   "bridge", "id",   "on",  "off",
                                            "ct",     "hue",    "sat",  "bri", "alert",
                                            "effect", "trans",  "name", "json"};
    const std::vector<std::string> group = {"help", "id", "on", "bri", "name", "l", "delete"};
    const std::vector<std::string> commands = {"bridges", "config", "lights",    "light",
                                               "groups",  "group",  "schedules", "schedule",
                                               "help",    "version"};
    const struct {
        const char* typed;
        const std::vector<std::string>& names;
        const char* expected;  // empty: no suggestion
    } cases[] = {
        {"brightness", light, "bri"},  // spelt out
        {"sta", light, "sat"},         // a swap
        {"ON", light, "on"},           // letter case
        {"hlep", light, "help"},
        {"brgde", light, "bridge"},  // two edits
        {"xx", light, ""},           // two edits from several names
        {"heu", light, "hue"},       // one swap from "hue", two edits from "help"
        {"ofn", light, ""},          // one edit from both "on" and "off"
        {"l", light, ""},            // as many edits as it has letters
        {"lights", group, "l"},
        {"", light, ""},
        {"lihgt", commands, "light"},     // "lights" is two edits away
        {"lightss", commands, "lights"},  // spelt out further than "light"
        {"Grup", commands, "group"},
        {"shedules", commands, "schedules"},
        {"sheduls", commands, ""},  // two edits from "schedule" and from "schedules"
        {"frobnicate", commands, ""},
    };
    for (const auto& c : cases) {
        const auto near = suggestion(c.typed, c.names);
        EXPECT_EQ(c.expected, near.value_or("")) << c.typed;
    }
}

}  // namespace
}  // namespace Cli
