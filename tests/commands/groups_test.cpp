#include "commands/groups.hpp"

#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "json/parse.hpp"
#include "support/sim_fixture.hpp"

namespace {

using Json::Value;

// Group 1 reports a full action, group 2 only "on" and "bri", group 3 has no members.
const std::string kFixture = TestingSupport::read_test_data("groups_fixture.json");

// Group 2 as the `group` command prints it, with its name and action lines.
std::string kitchen(const std::string& name, const std::string& action_lines) {
    return "\nGroups:\n\n"
           "  Id:                      2\n"
           "  Name:                    " +
           name + "\n  Lights:                  3\n  LastState:        \n" + action_lines;
}

constexpr const char* kKitchenAction =
    "    On:                    0\n"
    "    Brightness:            50\n";

class GroupsCommand : public TestingSupport::SimFixture {
protected:
    void SetUp() override { start(kFixture); }
};

// The same printout from whole listings (current firmware), names alone (old
// firmware) or both; only the groups given by name are read one by one, each
// after a pause, before printing or changing.
TEST_F(GroupsCommand, ListsEveryGroupWithTheReportedPartsOfItsAction) {
    const struct {
        const char* shape;
        std::vector<std::string> read;  // the ids read one by one, in order
    } cases[] = {
        {"whole", {}},
        {"names", {"1", "2", "3"}},
        {"mixed", {"2"}},
    };
    std::string json;  // the --json printout of the first case
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("listings ") + c.shape);
        start(kFixture);
        const std::string listed = expect_listing(
            "groups", c.shape, c.read, TestingSupport::read_test_data("groups_listing.txt"));
        if (json.empty()) json = listed;
        EXPECT_EQ(json, listed);

        // `group` reads the group before changing it only when the listing named it.
        bridge().clear_requests();
        const auto result = run({"group", "--id=2", "--name=Den"});
        EXPECT_EQ(kitchen("Den", kKitchenAction), result.output);
        std::vector<std::string> requests = {"GET /api/{user}/groups"};
        if (!c.read.empty()) requests.push_back("GET /api/{user}/groups/2");
        requests.push_back(R"(PUT /api/{user}/groups/2 {"lights":["3"],"name":"Den"})");
        requests.push_back("GET /api/{user}/groups/2");
        EXPECT_EQ(expanded(requests), request_lines());
    }
    EXPECT_EQ(0u, json.find(R"({"groups":[{"class":null,"id":"1","laststate":{"alert":"none",)"))
        << json;
}

TEST_F(GroupsCommand, NewCreatesAGroupWithTheLightsInOrder) {
    for (const bool with_delete : {false, true}) {
        SCOPED_TRACE(with_delete ? "with --delete" : "without --delete");
        bridge().clear_requests();
        const std::string name = with_delete ? "Study" : "Den";
        // Members by id or by whole name, letter case aside.
        std::vector<std::string> args = {"group", "--id=new", "--name=" + name,
                                         "-l=1",  "-l=stove", "-l=5"};
        if (with_delete) args.push_back("--delete");
        const auto result = run(args);
        EXPECT_EQ("\nGroup created.\n", result.output);
        EXPECT_EQ(0, result.status);
        EXPECT_EQ(expanded({"GET /api/{user}/groups", "GET /api/{user}/lights",
                            R"(POST /api/{user}/groups {"lights":["1","3","5"],"name":")" + name +
                                R"("})"}),
                  request_lines());
    }
    const Value groups = bridge().state().at("groups");
    EXPECT_EQ("Den", Json::as_string(groups.at("4").at("name")));
    EXPECT_EQ("Study", Json::as_string(groups.at("5").at("name")));
    // The JSON printout names the id the bridge gave the group.
    const auto json = run({"group", "--id=new", "--name=Attic", "-l=1", "--json"});
    EXPECT_EQ("{\"id\":\"6\",\"result\":\"created\"}\n", json.output);
    EXPECT_EQ(0, json.status);
}

// A member no light has, a name another group has (letter case aside) and a
// delete of a group neither listed nor given by number are refused after the
// listings, before anything is changed.
TEST_F(GroupsCommand, MembersNamesAndDeletesAreCheckedBeforeAnythingIsChanged) {
    const std::string lights = "GET /api/{user}/lights";
    const struct {
        std::vector<std::string> args;
        std::string printed;
        std::vector<std::string> requests;  // after the groups listing
    } cases[] = {
        {{"--id=new", "--name=Den", "-l=kitchen"},
         "Error: no light with id or name kitchen.",
         {lights}},
        {{"--id=2", "-l=1", "-l=4"}, "Error: no light with id or name 4.", {lights}},
        {{"--id=new", "--name=kitchen", "-l=1"}, "Error: group 2 is named Kitchen already.", {}},
        {{"--id=1", "--name=EMPTY"}, "Error: group 3 is named Empty already.", {}},
        {{"--id=nosuch", "--delete"}, "Error: no group with id or name nosuch.", {}},
        {{"--id=1/../x", "--delete"}, "Error: no group with id or name 1/../x.", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front() + " " + c.args[1]);
        bridge().clear_requests();
        std::vector<std::string> args = {"group"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result = run(args);
        EXPECT_EQ("\n" + c.printed + "\n", result.output);
        EXPECT_EQ(1, result.status);
        std::vector<std::string> requests = {"GET /api/{user}/groups"};
        requests.insert(requests.end(), c.requests.begin(), c.requests.end());
        EXPECT_EQ(expanded(requests), request_lines());
    }
    // A group keeps its own name in another letter case; a number not listed
    // is the bridge's to refuse.
    EXPECT_EQ(0, run({"group", "--id=2", "--name=KITCHEN"}).status);
    bridge().clear_requests();
    EXPECT_EQ(1, run({"group", "--id=9", "--delete"}).status);
    EXPECT_EQ(expanded({"GET /api/{user}/groups", "DELETE /api/{user}/groups/9"}), request_lines());
}

// Group 0 (every light) cannot be renamed, re-membered or deleted; only a
// new room or zone has a class.
TEST_F(GroupsCommand, ChangesTheBridgeForbidsAreRefusedBeforeAnythingIsSent) {
    const std::string new_group =
        "\nWhen creating a new group, you must specify name and one or more lights.\n";
    const std::string all_lights =
        "\nError: group 0 is every light of the bridge: it cannot be renamed, re-membered or "
        "deleted.\n";
    const struct {
        std::vector<std::string> args;
        std::string printed;
    } cases[] = {
        {{"group", "--id=new", "--name=Den"}, new_group},
        {{"group", "--id=new", "-l=1"}, new_group},
        {{"group", "--id=0", "--delete"}, all_lights},
        {{"group", "--id=0", "--name=All", "--on"}, all_lights},
        {{"group", "--id=0", "-l=1"}, all_lights},
        {{"group", "--id=2", "--type=room"},
         "\nError: options --type and --class are for a new group (--id=new).\n"},
        {{"group", "--id=new", "--name=D", "-l=1", "--class=Kitchen"},
         "\nError: option --class is for a room or a zone (--type=room or zone).\n"},
        {{"group", "--id=new", "--name=D", "-l=1", "--type=room", "--class=Attic"},
         "\nError: option 'class' must be Living room, Kitchen, Dining, Bedroom, Kids bedroom, "
         "Bathroom, Nursery, Recreation, Office, Gym, Hallway, Toilet, Front door, Garage, "
         "Terrace, Garden, Driveway, Carport or Other.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[1] + " " + c.args[2]);
        bridge().clear_requests();
        const auto result = run(c.args);
        EXPECT_EQ(c.printed, result.output);
        EXPECT_EQ(2, result.status);
        EXPECT_TRUE(request_lines().empty());
    }
}

TEST_F(GroupsCommand, DeleteReportsOnlyWhatTheBridgeDid) {
    Sim::Fault refused;
    refused.body =
        R"([{"error":{"type":3,"address":"/groups/2","description":"resource, /groups/2, not available"}}])";
    bridge().set_fault("DELETE", expand("/api/{user}/groups/2"), refused);
    auto result = run({"group", "--id=2", "--delete"});
    EXPECT_EQ(
        "\n"
        R"({"error":{"address":"/groups/2","description":"resource, /groups/2, not available","type":3}})"
        "\n",
        result.output);
    EXPECT_EQ(1, result.status);

    result = run({"group", "--id=3", "--delete"});
    EXPECT_EQ("\nGroup Deleted.\n", result.output);
    EXPECT_EQ(0, result.status);
    EXPECT_FALSE(Json::has(bridge().state().at("groups"), "3"));

    // A group may be deleted by its name.
    result = run({"group", "--id=living ROOM", "--delete"});
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(expanded({"GET /api/{user}/groups", "DELETE /api/{user}/groups/2",
                        "GET /api/{user}/groups", "DELETE /api/{user}/groups/3",
                        "GET /api/{user}/groups", "DELETE /api/{user}/groups/1"}),
              request_lines());
    EXPECT_FALSE(Json::has(bridge().state().at("groups"), "1"));
}

// Every state option given is sent to the group's action, also what the
// action already says (group 2's says off, brightness 50): it is the last
// command sent to the group, not the state of its lights.
TEST_F(GroupsCommand, ModifySendsWhatWasAskedFor) {
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> changes;  // requests between the listing and the read
        std::string printed;
    } cases[] = {
        {{"--name=Cooking"},
         {R"(PUT /api/{user}/groups/2 {"lights":["3"],"name":"Cooking"})"},
         kitchen("Cooking", kKitchenAction)},
        {{"--trans=10"}, {}, kitchen("Kitchen", kKitchenAction)},
        {{"-l=3", "-l=Sofa"},
         {"GET /api/{user}/lights",
          R"(PUT /api/{user}/groups/2 {"lights":["3","1"],"name":"Kitchen"})"},
         "\nGroups:\n\n  Id:                      2\n  Name:                    Kitchen\n"
         "  Lights:                  3, 1\n  LastState:        \n" +
             std::string(kKitchenAction)},
        {{"--off", "--bri=50", "--alert=none", "--effect=none"},
         {R"(PUT /api/{user}/groups/2/action {"alert":"none","bri":50,"effect":"none","on":false})"},
         kitchen("Kitchen",
                 "    On:                    0\n"
                 "    Alert:                 none\n"
                 "    Effect:                none\n"
                 "    Brightness:            50\n")},
        {{"--bri=+5", "--ct=-10"},
         {R"(PUT /api/{user}/groups/2/action {"bri_inc":5,"ct_inc":-10})"},
         kitchen("Kitchen",
                 "    On:                    0\n"
                 "    Mode:                  ct\n"
                 "    ColorTemperature:      153\n"
                 "    Brightness:            55\n")},
        {{"--hue=300", "--trans=4"},
         {R"(PUT /api/{user}/groups/2/action {"hue":300,"transitiontime":4})"},
         kitchen("Kitchen",
                 "    On:                    0\n"
                 "    Mode:                  hs\n"
                 "    Hue:                   300\n"
                 "    Saturation:            0\n"
                 "    Brightness:            50\n")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front());
        bridge().clear_requests();
        std::vector<std::string> args = {"group", "--id=2"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result = run(args);
        EXPECT_EQ(c.printed, result.output);
        EXPECT_EQ(0, result.status);
        std::vector<std::string> requests = {"GET /api/{user}/groups"};
        requests.insert(requests.end(), c.changes.begin(), c.changes.end());
        requests.push_back("GET /api/{user}/groups/2");
        EXPECT_EQ(expanded(requests), request_lines());
        bridge().update([](Value& state) {
            state["groups"]["2"] = Json::parse(
                R"({"name": "Kitchen", "lights": ["3"], "type": "LightGroup",
                    "action": {"on": false, "bri": 50}})");
        });
    }
}

// Group 1's action already says on; --on is sent all the same (one of its
// lights may be off).
TEST_F(GroupsCommand, OnIsSentThoughTheActionSaysOn) {
    const auto result = run({"group", "--id=1", "--on"});
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(expanded({"GET /api/{user}/groups", R"(PUT /api/{user}/groups/1/action {"on":true})",
                        "GET /api/{user}/groups/1"}),
              request_lines());
}

// Group 0 is on no listing; its action goes to every light, and it is
// printed as the bridge reports it.
TEST_F(GroupsCommand, GroupZeroTakesStateOptionsForEveryLight) {
    bridge().update([](Value& state) {
        state["lights"] = Json::parse(R"({"1": {"name": "A", "state": {"on": true, "bri": 9}},
                                           "2": {"name": "B", "state": {"on": true}}})");
    });
    const auto result = run({"group", "--id=0", "--off", "--bri=20"});
    EXPECT_EQ(
        "\nGroups:\n\n"
        "  Id:                      0\n"
        "  Name:                    Group 0\n"
        "  Lights:                  1, 2\n"
        "  LastState:        \n"
        "    On:                    0\n"
        "    Brightness:            20\n",
        result.output);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(expanded({"GET /api/{user}/groups",
                        R"(PUT /api/{user}/groups/0/action {"bri":20,"on":false})",
                        "GET /api/{user}/groups/0"}),
              request_lines());
    EXPECT_FALSE(Json::as_bool(bridge().state().at("lights").at("2").at("state").at("on")));
}

// Colour in human terms and toggles, each command line with the change it
// sends. A toggle goes by "any_on" when the group reports it (group 1's
// lights are all off, though its last action says on), else by the last
// action (group 3's says on); group 0 is read for it first.
TEST_F(GroupsCommand, ColourOptionsAndTogglesSendWhatTheyName) {
    bridge().update([](Value& state) {
        state["lights"] = Json::parse(R"({"1": {"name": "A", "state": {"on": true, "bri": 9}}})");
    });
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> requests;  // after the listing
    } cases[] = {
        {{"--id=2", "--color=red"},
         {R"(PUT /api/{user}/groups/2/action {"xy":[0.64,0.33]})", "GET /api/{user}/groups/2"}},
        {{"--id=2", "--xy=0.9,0.1", "--bri=5"},
         {R"(PUT /api/{user}/groups/2/action {"bri":5,"xy":[0.6915,0.3083]})",
          "GET /api/{user}/groups/2"}},
        {{"--id=1", "--kelvin=6500"},
         {R"(PUT /api/{user}/groups/1/action {"ct":154})", "GET /api/{user}/groups/1"}},
        {{"--id=1", "--toggle"},
         {R"(PUT /api/{user}/groups/1/action {"on":true})", "GET /api/{user}/groups/1"}},
        {{"--id=3", "--toggle"},
         {R"(PUT /api/{user}/groups/3/action {"on":false})", "GET /api/{user}/groups/3"}},
        {{"--id=0", "--toggle"},
         {"GET /api/{user}/groups/0", R"(PUT /api/{user}/groups/0/action {"on":false})",
          "GET /api/{user}/groups/0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        bridge().clear_requests();
        std::vector<std::string> args = {"group", "--json"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result = run(args);
        EXPECT_EQ(0, result.status) << result.errors;
        std::vector<std::string> requests = {"GET /api/{user}/groups"};
        requests.insert(requests.end(), c.requests.begin(), c.requests.end());
        EXPECT_EQ(expanded(requests), request_lines());
    }
}

// A group is named by its id or its whole name, letter case aside, for a
// change or a deletion; an id always wins over a name, and a name two
// groups carry names neither. Nothing but the listing is read to tell.
TEST_F(GroupsCommand, IdsAndNamesPickTheGroupFromTheListing) {
    bridge().update([](Value& state) {
        state["groups"]["3"]["name"] = "1";  // group 1's id as group 3's name
        state["groups"]["4"] = Json::parse(R"({"name": "KITCHEN", "lights": ["1"],
                                               "action": {"on": true}})");
    });
    const struct {
        std::vector<std::string> args;
        const char* printed;               // the whole printout; null: group 1's
        std::vector<std::string> changes;  // the requests after the listing
    } cases[] = {
        {{"--id=LIVING room", "--on"},
         nullptr,
         {R"(PUT /api/{user}/groups/1/action {"on":true})", "GET /api/{user}/groups/1"}},
        {{"--id=1", "--on"},
         nullptr,
         {R"(PUT /api/{user}/groups/1/action {"on":true})", "GET /api/{user}/groups/1"}},
        {{"--id=kitchen", "--on"},
         "\nError: more than one group is named kitchen: ids 2, 4.\n",
         {}},
        {{"--id=kitchen", "--delete"},
         "\nError: more than one group is named kitchen: ids 2, 4.\n",
         {}},
        {{"--id=9", "--on"}, "\nError: no group with id 9.\n", {}},
        {{"--id=Living", "--on"}, "\nError: no group with id Living.\n", {}},
        {{"--id=living room", "--delete", "--json"},
         "{\"id\":\"1\",\"result\":\"deleted\"}\n",
         {"DELETE /api/{user}/groups/1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        bridge().clear_requests();
        std::vector<std::string> args = {"group"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result = run(args);
        if (c.printed) {
            EXPECT_EQ(c.printed, result.output);
        } else {
            EXPECT_EQ(0u, result.output.find("\nGroups:\n\n  Id:                      1\n"))
                << result.output;
        }
        EXPECT_EQ(c.changes.empty() ? 1 : 0, result.status);
        std::vector<std::string> requests = {"GET /api/{user}/groups"};
        requests.insert(requests.end(), c.changes.begin(), c.changes.end());
        EXPECT_EQ(expanded(requests), request_lines());
    }
}

// Group 2 (Kitchen, light 3) is a room; group 3 an empty room; group 4 a
// zone of lights 1 and 2; group 1 a plain group.
class RoomsAndZones : public GroupsCommand {
protected:
    void SetUp() override {
        start(kFixture);
        bridge().update([](Value& state) {
            Value& groups = state["groups"];
            groups["2"]["type"] = "Room";
            groups["3"]["type"] = "Room";
            groups["4"] = Json::parse(R"({"name": "Upstairs", "lights": ["1", "2"],
                                          "type": "Zone", "action": {"on": false}})");
        });
    }
};

// A room takes a light in no other room; zones and plain groups take any.
TEST_F(RoomsAndZones, NewRoomsAndNewMembersOfRoomsAreCheckedAgainstTheOtherRooms) {
    const std::string lights = "GET /api/{user}/lights";
    const std::string in_kitchen =
        "\nError: light 3 (Stove) is in room Kitchen already; a light can be in one room.\n";
    const struct {
        std::vector<std::string> args;
        std::string refusal;                // empty: carried out
        std::vector<std::string> requests;  // after the groups listing
    } cases[] = {
        {{"--id=new", "--name=Den", "--type=room", "-l=5", "-l=Stove"}, in_kitchen, {lights}},
        {{"--id=3", "-l=3"}, in_kitchen, {lights}},
        {{"--id=2", "-l=3", "-l=1"},
         "",
         {lights, R"(PUT /api/{user}/groups/2 {"lights":["3","1"],"name":"Kitchen"})",
          "GET /api/{user}/groups/2"}},
        {{"--id=new", "--name=Hob", "--type=zone", "-l=3"},
         "",
         {lights, R"(POST /api/{user}/groups {"lights":["3"],"name":"Hob","type":"Zone"})"}},
        {{"--id=new", "--name=Den", "--type=room", "--class=living ROOM", "-l=5"},
         "",
         {lights,
          R"(POST /api/{user}/groups {"class":"Living room","lights":["5"],"name":"Den","type":"Room"})"}},
        {{"--id=new", "--name=Pair", "--type=group", "-l=3", "-l=5"},
         "",
         {lights, R"(POST /api/{user}/groups {"lights":["3","5"],"name":"Pair"})"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        bridge().clear_requests();
        std::vector<std::string> args = {"group"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result = run(args);
        if (!c.refusal.empty()) EXPECT_EQ(c.refusal, result.output);
        EXPECT_EQ(c.refusal.empty() ? 0 : 1, result.status) << result.output;
        std::vector<std::string> requests = {"GET /api/{user}/groups"};
        requests.insert(requests.end(), c.requests.begin(), c.requests.end());
        EXPECT_EQ(expanded(requests), request_lines());
    }
    // A listing that names the rooms only cannot show their lights: the
    // bridge refuses the second room itself.
    bridge().set_listings(Sim::Listings::names);
    const auto result = run({"group", "--id=new", "--name=Nook", "--type=room", "-l=1"});
    EXPECT_EQ(1, result.status);
    EXPECT_NE(std::string::npos, result.output.find(R"("address":"/groups/lights")"))
        << result.output;
}

// "group" lets through plain groups and those without a type (group 3 here).
TEST_F(RoomsAndZones, GroupsListsOnlyTheKindAskedFor) {
    bridge().update([](Value& state) { state["groups"]["3"].erase("type"); });
    const std::vector<std::vector<std::string>> cases = {
        {"room", "2"}, {"zone", "4"}, {"group", "1", "3"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        const Value listed = Json::parse(run({"groups", "--json", "--type=" + c[0]}).output);
        std::vector<std::string> ids;
        for (const auto& group : listed.at("groups")) {
            ids.push_back(Json::as_string(group.at("id")));
        }
        EXPECT_EQ(std::vector<std::string>(c.begin() + 1, c.end()), ids);
    }
}

}  // namespace
