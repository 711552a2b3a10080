#include "hue/fullstate.hpp"

#include <gtest/gtest.h>

#include "json/parse.hpp"

namespace Hue {
namespace {

const Http::Options kProxy;
const AppIdentity kIdentity{"glowrig", "hostuser01"};

FullState read(const char* text) {
    return read_full_state(Bridge("", {.host = "192.0.2.4"}), kProxy, kIdentity, Json::parse(text));
}

const char kRequired[] = R"("config":{},"lights":{},"groups":{},"schedules":{})";

TEST(FullStateReading, SplitsTheRootAndGivesEachCollectionItsClient) {
    const FullState state = read(R"({"config":{"name":"b"},
        "lights":{"1":{"name":"l"}}, "groups":{"2":{"name":"g"}}, "schedules":{"3":{"name":"s"}},
        "scenes":{"s1":{"name":"Relax","lights":["1","2"],"active":true}},
        "sensors":{"1":{"name":"Daylight","manufacturername":"maker","swversion":"1"},
                   "lastscan":{"lastscan":"none"}},
        "rules":{"r":{"name":"dusk","conditions":[]}}})");
    EXPECT_EQ("b", std::get<Configuration>(state).settings().name);
    EXPECT_EQ("l", std::get<Lights>(state).begin()->name());
    EXPECT_EQ("g", std::get<Groups>(state).begin()->name());
    EXPECT_EQ("s", std::get<Schedules>(state).begin()->name());

    const Scenes& scenes = std::get<Scenes>(state);
    ASSERT_EQ(1u, scenes.size());
    EXPECT_EQ("s1", scenes.begin()->id());
    EXPECT_EQ((std::vector<std::string>{"1", "2"}), scenes.begin()->lights());
    EXPECT_EQ("Relax", scenes.begin()->name());
    EXPECT_EQ("http://192.0.2.4/api/hostuser01/scenes", Http::url_text(scenes.client().base()));

    const Sensors& sensors = std::get<Sensors>(state);
    ASSERT_EQ(1u, sensors.size());  // "lastscan" is not a sensor
    EXPECT_EQ("Daylight", sensors.begin()->name());
    EXPECT_EQ("http://192.0.2.4/api/hostuser01/sensors", Http::url_text(sensors.client().base()));

    EXPECT_EQ("dusk", std::get<Rules>(state).begin()->name());
}

TEST(FullStateReading, OptionalCollectionsMayBeMissing) {
    const FullState state = read((std::string("{") + kRequired + "}").c_str());
    EXPECT_TRUE(std::get<Scenes>(state).empty());
    EXPECT_TRUE(std::get<Sensors>(state).empty());
    EXPECT_TRUE(std::get<Rules>(state).empty());
}

TEST(FullStateReading, MissingOrMistypedMembersFail) {
    const char* cases[] = {
        R"({"config":{},"lights":{},"groups":{}})",
        R"({"config":{},"lights":{},"schedules":{}})",
        R"({"lights":{},"groups":{},"schedules":{}})",
        R"({"config":{},"lights":{},"groups":{},"schedules":{},"scenes":{"1":{"lights":[1]}}})",
        R"({"config":{},"lights":{},"groups":{},"schedules":{},"scenes":{"1":{"active":1}}})",
        R"({"config":{},"lights":{},"groups":{},"schedules":{},"sensors":{"1":{"name":2}}})",
        R"({"config":{},"lights":{},"groups":{},"schedules":{},"rules":[]})",
        "[]",
    };
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        EXPECT_THROW(read(text), Json::Error);
    }
}

}  // namespace
}  // namespace Hue
