#include "hue/fullstate.hpp"

#include <gtest/gtest.h>

#include "json/parse.hpp"
#include "support/sim_fixture.hpp"

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

// Replies read as the parser meets them give the items in id order, the
// first of a repeated id, and the failure a tree read in that order meets first.
class StateReplies : public TestingSupport::SimFixture {};

TEST_F(StateReplies, ReadItemsInIdOrderAndFailAsATreeWould) {
    start(R"({"state": {}})");
    const Bridge hue("", {.host = ip(), .port = port()});
    const AppIdentity identity{"glowrig", user()};
    const struct {
        std::string lights;  // the listing, and "lights" of the whole state
        std::string more;    // more of the whole state; when empty the listing is read too
        std::string read;    // ids and names of the lights, or the failure
    } cases[] = {
        {R"({"2":{"name":"b","x":[]},"10":{"name":"c"},"1":{"name":"a"},"2":7,"lastscan":"x"})", "",
         "1=a 10=c 2=b"},
        {R"({"9":{"name":1},"10":5})", "", "not an object"},
        {R"({"1":{"state":{"bri":"x","on":1}}})", "", "not a boolean"},
        {R"({"1":7})", R"(,"rules":{"r":{"name":5}},"lights":{})", "not a string"},
        {R"({"1":{"name":1}})", R"(,"x":})",
         "Error: the bridge's reply is not JSON (line 1, column 71)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lights + c.more);
        const std::string state = R"({"lights":)" + c.lights +
                                  R"(,"config":{},"groups":{},"schedules":{})" + c.more + "}";
        bridge().set_fault("GET", expand("/api/{user}"), Sim::Fault{200, "", state, 0});
        bridge().set_fault("GET", expand("/api/{user}/lights"), Sim::Fault{200, "", c.lights, 0});
        for (const bool listing : {false, true}) {
            if (listing && !c.more.empty()) continue;
            std::string read;
            try {
                const Lights lights = listing ? hue.get_lights(Http::Options(), identity)
                                              : std::get<Lights>(hue.get_full_state({}, identity));
                for (const Light& light : lights) {
                    read += (read.empty() ? "" : " ") + light.id() + "=" + light.name();
                }
            } catch (const std::exception& e) {
                read = e.what();
            }
            EXPECT_EQ(c.read, read) << (listing ? "listing" : "state");
        }
    }
}

}  // namespace
}  // namespace Hue
