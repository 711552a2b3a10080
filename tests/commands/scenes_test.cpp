#include "commands/scenes.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "json/parse.hpp"
#include "json/text.hpp"
#include "sim/event_data.hpp"
#include "support/process.hpp"
#include "support/sim_fixture.hpp"

namespace {

using Json::Value;

// Three lights; groups 1 (lights 1, 2) and 2 (light 3); scene a1 "Evening" of
// all three lights, g1 "Cooking" of group 2, n1 "Night" and n2 "night", and
// z9 named "G1", another scene's id.
const std::string kFixture = TestingSupport::read_test_data("scenes_fixture.json");

class ScenesCommand : public TestingSupport::SimFixture {
protected:
    void SetUp() override { start(kFixture); }

    // Light `id`'s state on the bridge.
    Value light_state(const char* id) {
        return Json::at(Json::at(Json::at(bridge().state(), "lights"), id), "state");
    }
};

TEST_F(ScenesCommand, ListsEverySceneInTextAndJson) {
    auto result = run({"scenes"});
    EXPECT_EQ(TestingSupport::read_test_data("scenes_listing.txt"), result.output);
    EXPECT_EQ(0, result.status);
    result = run({"scenes", "--json"});
    EXPECT_EQ(
        R"({"scenes":[)"
        R"({"group":null,"id":"a1","lastupdated":"2014-05-01T07:00:00Z","lights":["1","2","3"],"name":"Evening"},)"
        R"({"group":"2","id":"g1","lastupdated":null,"lights":["3"],"name":"Cooking"},)"
        R"({"group":null,"id":"n1","lastupdated":"2015-12-24T18:30:05Z","lights":["1"],"name":"Night"},)"
        R"({"group":null,"id":"n2","lastupdated":null,"lights":[],"name":"night"},)"
        R"({"group":null,"id":"z9","lastupdated":"2014-05-01T07:00:00Z","lights":["2"],"name":"G1"}]})"
        "\n",
        result.output);
    EXPECT_EQ(expanded({"GET /api/{user}/scenes", "GET /api/{user}/scenes"}), request_lines());
}

// One listing of the scenes, one recall: in the scene's own group, else the
// group --group names, else group 0. Only a --group that is not an id alone
// reads the groups listing.
TEST_F(ScenesCommand, RecallsTheSceneInItsGroupElseTheGivenGroupElseGroupZero) {
    const struct {
        std::vector<std::string> args;
        const char* failure;                // the line printed; null: "Scene recalled."
        std::vector<std::string> requests;  // after the scenes listing
    } cases[] = {
        {{"--id=a1"}, nullptr, {R"(PUT /api/{user}/groups/0/action {"scene":"a1"})"}},
        {{"--id=eVENING"}, nullptr, {R"(PUT /api/{user}/groups/0/action {"scene":"a1"})"}},
        // An id wins over z9's name; a group scene keeps its own group.
        {{"--id=g1"}, nullptr, {R"(PUT /api/{user}/groups/2/action {"scene":"g1"})"}},
        {{"--id=Cooking", "--group=1"},
         nullptr,
         {R"(PUT /api/{user}/groups/2/action {"scene":"g1"})"}},
        {{"--id=a1", "--group=1"}, nullptr, {R"(PUT /api/{user}/groups/1/action {"scene":"a1"})"}},
        {{"--id=a1", "--group=0"}, nullptr, {R"(PUT /api/{user}/groups/0/action {"scene":"a1"})"}},
        {{"--id=Evening", "--group=kitchen"},
         nullptr,
         {"GET /api/{user}/groups", R"(PUT /api/{user}/groups/2/action {"scene":"a1"})"}},
        {{"--id=a1", "--group=Attic"},
         "Error: no group with id Attic.",
         {"GET /api/{user}/groups"}},
        {{"--id=NIGHT"}, "Error: more than one scene is named NIGHT: ids n1, n2.", {}},
        {{"--id=Eve"}, "Error: no scene with id Eve.", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front() + (c.args.size() > 1 ? " " + c.args[1] : ""));
        bridge().clear_requests();
        std::vector<std::string> args = {"scene"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result = run(args);
        EXPECT_EQ(std::string("\n") + (c.failure ? c.failure : "Scene recalled.") + "\n",
                  result.output);
        EXPECT_EQ(c.failure ? 1 : 0, result.status);
        std::vector<std::string> requests = {"GET /api/{user}/scenes"};
        requests.insert(requests.end(), c.requests.begin(), c.requests.end());
        EXPECT_EQ(expanded(requests), request_lines());
    }
}

// A recall sets the stored states of the scene's lights in the group, and the
// next listing shows them; JSON names the scene recalled.
TEST_F(ScenesCommand, RecallSetsTheLightsOfTheSceneInTheGroup) {
    const auto result = run({"scene", "--id=Evening", "--group=Living room", "--json"});
    EXPECT_EQ("{\"id\":\"a1\",\"result\":\"recalled\"}\n", result.output);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(Json::parse(R"({"on":true,"bri":100,"colormode":"ct","ct":153})"), light_state("1"));
    EXPECT_EQ(Json::parse(R"({"on":true,"bri":50,"colormode":"ct","ct":153})"), light_state("2"));
    // Light 3 is not in group 1.
    EXPECT_EQ(Json::parse(R"({"on":false,"bri":1,"colormode":"ct","ct":153})"), light_state("3"));

    EXPECT_EQ(0, run({"scene", "--id=Cooking"}).status);
    const auto listed = run({"lights", "--json"});
    EXPECT_NE(std::string::npos, listed.output.find(R"("bri":254,)")) << listed.output;
    EXPECT_EQ(254, Json::as_int(Json::at(light_state("3"), "bri")));
    EXPECT_TRUE(Json::as_bool(Json::at(light_state("3"), "on")));
}

// Over the newer interface: a palette played at a speed, smart scenes
// activated and deactivated by name; the older interface refuses both.
class NewerScenes : public TestingSupport::SimFixture {
protected:
    void SetUp() override {
        serve_tls();
        Value sample = Json::parse(TestingSupport::read_test_data("../../fixtures/sample.json"));
        sample["linkbutton"] = true;
        start(Json::text(sample), /*whitelisted=*/false);
        ASSERT_EQ(0, run({"config", "--auth"}, home()).status);
    }
    TestingSupport::Environment home() const { return {{"XDG_CONFIG_HOME", m_home.path()}}; }
    TestingSupport::TemporaryDirectory m_home;
};

TEST_F(NewerScenes, PlaysPalettesAndSwitchesSmartScenes) {
    const std::string older = "GET /api/{user}/scenes", scenes = "GET /clip/v2/resource/scene",
                      smart = "GET /clip/v2/resource/smart_scene";
    const std::string relax = "PUT /clip/v2/resource/scene/" + Sim::uuid_from("/scenes/relax") +
                              R"( {"recall":{"action":"dynamic_palette"})";
    const std::string natural = "PUT /clip/v2/resource/smart_scene/" +
                                Sim::uuid_from("smart_scene/0") + R"( {"recall":{"action":")";
    const struct {
        std::vector<std::string> args;
        std::string printed;
        int status;
        std::vector<std::string> requests;
    } cases[] = {
        {{"--id=Relax", "--dynamic", "--speed=0.25"},
         "Scene recalled.",
         0,
         {older, scenes, relax + R"(,"speed":0.25})"}},
        {{"--id=relax", "--dynamic"}, "Scene recalled.", 0, {older, scenes, relax + "}"}},
        {{"--id=focus", "--dynamic"}, "Error: scene focus has no palette.", 1, {older, scenes}},
        {{"--id=natural LIGHT"},
         "Smart scene activated.",
         0,
         {older, smart, natural + "activate\"}}"}},
        {{"--id=Natural light", "--off"},
         "Smart scene deactivated.",
         0,
         {smart, natural + "deactivate\"}}"}},
        {{"--id=Relax", "--off"}, "Error: no smart scene with id Relax.", 1, {smart}},
        {{"--id=Eve"}, "Error: no scene with id Eve.", 1, {older, smart}},
        {{"--id=Relax", "--dynamic", "--speed=1.5"},
         "Error: option 'speed' must be a number 0-1.",
         2,
         {}},
        {{"--id=Relax", "--speed=1"}, "Error: --speed goes with --dynamic.", 2, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front() + " " + c.args.back());
        bridge().clear_requests();
        std::vector<std::string> args = {"scene"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result = run(args, home());
        EXPECT_EQ("\n" + c.printed + "\n", result.output);
        EXPECT_EQ(c.status, result.status);
        EXPECT_EQ(expanded(c.requests), request_lines());
    }
}

// The listing marks the scenes with a palette and adds the smart scenes after them.
TEST_F(NewerScenes, ListsPalettesAndSmartScenes) {
    const std::string smart = "\"id\":\"" + Sim::uuid_from("smart_scene/0") + "\"";
    const auto text = run({"scenes"}, home()).output;
    EXPECT_NE(std::string::npos,
              text.find("2014 UTC\n  Dynamic:                 yes\n\nSmart scenes:"))
        << text;
    const Value listed = Json::parse(run({"scenes", "--json"}, home()).output);
    std::string marks;
    for (const auto& scene : Json::at(listed, "scenes"))
        marks += Json::text(Json::at(scene, "dynamic"));
    EXPECT_EQ("falsefalsetrue", marks);  // focus, night, relax
    EXPECT_EQ(Json::parse("[{" + smart + R"(,"name":"Natural light","state":"inactive"}])"),
              Json::at(listed, "smart_scenes"));
}

// A bridge that lost the newer interface lists as before, then refuses what needs it.
TEST_F(NewerScenes, ABridgeThatLostTheNewerInterfaceListsAsBefore) {
    bridge().serve_clip_v2(false);
    bridge().clear_requests();
    const auto listed = run({"scenes"}, home()).output;
    EXPECT_EQ(std::string::npos, listed.find("Dynamic")) << listed;
    EXPECT_EQ(expanded({"GET /api/{user}/scenes", "GET /clip/v2/resource/scene"}), request_lines());
    EXPECT_EQ(expand("\nError: the bridge at https://{address} has no newer interface; --off "
                     "needs it.\n"),
              run({"scene", "--id=Relax", "--off"}, home()).output);
}

TEST_F(ScenesCommand, RefusesWhatOnlyTheNewerInterfaceOffersWithoutIt) {
    for (const char* option : {"--dynamic", "--off"}) {
        const auto result = run({"scene", "--id=a1", option});
        EXPECT_EQ(expand("\nError: the bridge at {address} has no newer interface; ") + option +
                      " needs it.\n",
                  result.output);
        EXPECT_EQ(1, result.status);
    }
    EXPECT_TRUE(request_lines().empty());
}

}  // namespace
