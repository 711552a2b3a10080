#include "commands/lights.hpp"

#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "json/parse.hpp"
#include "support/sim_fixture.hpp"

namespace {

// One light in each colour mode; light 4 reports a mode no light has.
const std::string kFixture = TestingSupport::read_test_data("lights_fixture.json");

// The printout of light 3 after a `light` run, with the fields a case changes.
struct Desk {
    std::string name = "Desk";
    std::string on = "0";
    std::string alert = "select";
    std::string effect = "colorloop";
    std::string bri = "100";
    std::string mode = "    Mode:                  ct\n    ColorTemperature:      366\n";

    std::string printout() const {
        std::string text = "\nLights:\n\n  Id:                      3\n";
        text += "  Name:                    " + name + "\n";
        text += "  ModelId:                 TW-100\n";
        text += "  SwVersion:               5.38.1\n";
        text += "  State:        \n";
        text += "    Reachable:             1\n";
        text += "    On:                    " + on + "\n";
        text += "    Alert:                 " + alert + "\n";
        text += "    Effect:                " + effect + "\n";
        text += mode;
        text += "    Brightness:            " + bri + "\n";
        return text;
    }
};

// Light 3 as printed with one field changed.
Desk changed(std::string Desk::*field, const char* value) {
    Desk desk;
    desk.*field = value;
    return desk;
}

class LightsCommand : public TestingSupport::SimFixture {
protected:
    void SetUp() override { start(kFixture); }

    // The requests of a `light --id=3` run, with `changes` between the
    // listing and the read after them.
    std::vector<std::string> desk_requests(const std::vector<std::string>& changes) const {
        std::vector<std::string> lines = {"GET /api/{user}/lights"};
        lines.insert(lines.end(), changes.begin(), changes.end());
        lines.push_back("GET /api/{user}/lights/3");
        return expanded(lines);
    }

    void expect_listings_on(const char* ip);
};

// Listings of current firmware give every light whole, those of old firmware
// each light's name alone. The printout is the same; only the lights given by
// name are read one by one, each after a pause, before printing or changing.
// The same bridge on an IPv4 and on an IPv6 address (a test each: the pauses
// add up), each with its port.
void LightsCommand::expect_listings_on(const char* ip) {
    const struct {
        const char* shape;
        std::vector<std::string> read;  // the ids read one by one, in order
    } cases[] = {
        {"whole", {}},
        {"names", {"1", "2", "3", "4"}},
        {"mixed", {"2", "4"}},  // the 2nd and 4th by name alone
    };
    std::string json;  // the --json printout of the first case
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(ip) + ", listings " + c.shape);
        serve_on(ip);
        start(kFixture);
        const std::string listed = expect_listing(
            "lights", c.shape, c.read, TestingSupport::read_test_data("lights_listing.txt"));
        if (json.empty()) json = listed;
        EXPECT_EQ(json, listed);

        // `light` reads the light before changing it only when the listing named it.
        bridge().clear_requests();
        const auto result = run({"light", "--id=2", "--bri=9"});
        EXPECT_EQ(0, result.status);
        std::vector<std::string> requests = {"GET /api/{user}/lights"};
        if (!c.read.empty()) requests.push_back("GET /api/{user}/lights/2");
        requests.push_back(R"(PUT /api/{user}/lights/2/state {"bri":9})");
        requests.push_back("GET /api/{user}/lights/2");
        EXPECT_EQ(expanded(requests), request_lines());
    }
    EXPECT_EQ(0u,
              json.find(R"({"lights":[{"capabilities":{"colorgamut":[[0.675,0.322],)"
                        R"([0.409,0.518],[0.167,0.04]],"ctrange":{"max":500,"min":153}},)"
                        R"("id":"1","modelid":"CL-100","name":"Hall","productname":"Color lamp",)"))
        << json;
}

TEST_F(LightsCommand, ListsFromTheListingAndReadsOnlyLightsGivenByNameOverIpv4) {
    expect_listings_on("127.0.0.1");
}

TEST_F(LightsCommand, ListsFromTheListingAndReadsOnlyLightsGivenByNameOverIpv6) {
    expect_listings_on("::1");
}

// A search's new lights come from lights/new, each given by name alone: they
// print as the renderers print such a light (their tables compare that whole).
TEST_F(LightsCommand, FindSearchesWaitsAndPrintsTheNewLights) {
    const auto result = run({"lights", "--find"}, {{"GLOWRIG_FIND_WAIT_MS", "0"}});
    EXPECT_EQ(
        "\nSearching for new lights...\nLights:\n\n  Id:                      9\n"
        "  Name:                    Hue Lamp 9\n  ModelId:                 \n"
        "  SwVersion:               \n  State:        \n    Reachable:             0\n"
        "    On:                    0\n    Alert:                 none\n"
        "    Effect:                none\n    Mode:                  invalid\n"
        "    Brightness:            0\n",
        result.output);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(expanded({"GET /api/{user}/lights", "POST /api/{user}/lights",
                        "GET /api/{user}/lights/new"}),
              request_lines());
    start(kFixture);
    const auto json = run({"lights", "--find", "--json"}, {{"GLOWRIG_FIND_WAIT_MS", "0"}});
    EXPECT_EQ(
        R"({"lights":[{"capabilities":null,"id":"9","modelid":null,"name":"Hue Lamp 9",)"
        R"("productname":null,"state":{"alert":null,"bri":null,"colormode":null,"ct":null,)"
        R"("effect":null,"hue":null,"on":null,"reachable":null,"sat":null,"x":null,"y":null},)"
        R"("swversion":null,"type":null}]})"
        "\n",
        json.output);
    EXPECT_EQ("Searching for new lights...\n", json.errors);  // the text printout's line
}

// Fields are sent when they differ from the light's state; an alert asked
// for ("select", "lselect") always, for light 3 reports "select" still.
TEST_F(LightsCommand, LightChangesSendWhatDiffersAndEveryAlert) {
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> changes;  // requests between the listing and the read
        Desk printed;
        std::string id = "3";  // what --id names light 3 by
    } cases[] = {
        {{"--bri=200"},
         {"PUT /api/{user}/lights/3/state {\"bri\":200}"},
         changed(&Desk::bri, "200")},
        {{"--bri=200", "--trans=10"},
         {"PUT /api/{user}/lights/3/state {\"bri\":200,\"transitiontime\":10}"},
         changed(&Desk::bri, "200")},
        {{"--trans=10"}, {}, Desk()},
        {{"--bri=100", "--ct=366"}, {}, Desk()},
        // Steps and shares: the printout shows what the bridge made of them.
        {{"--bri=+10"},
         {"PUT /api/{user}/lights/3/state {\"bri_inc\":10}"},
         changed(&Desk::bri, "110")},
        {{"--bri=-120"},
         {"PUT /api/{user}/lights/3/state {\"bri_inc\":-120}"},
         changed(&Desk::bri, "1")},
        {{"--bri=50%"},
         {"PUT /api/{user}/lights/3/state {\"bri\":127}"},
         changed(&Desk::bri, "127")},
        {{"--ct=-16"},
         {"PUT /api/{user}/lights/3/state {\"ct_inc\":-16}"},
         changed(&Desk::mode, "    Mode:                  ct\n    ColorTemperature:      350\n")},
        {{"--alert=none"},
         {"PUT /api/{user}/lights/3/state {\"alert\":\"none\"}"},
         changed(&Desk::alert, "none")},
        {{"--alert=select"}, {"PUT /api/{user}/lights/3/state {\"alert\":\"select\"}"}, Desk()},
        {{"--alert=lselect", "--bri=100"},
         {"PUT /api/{user}/lights/3/state {\"alert\":\"lselect\"}"},
         changed(&Desk::alert, "lselect")},
        {{"--effect=none"},
         {"PUT /api/{user}/lights/3/state {\"effect\":\"none\"}"},
         changed(&Desk::effect, "none")},
        {{"--name=Desk"}, {"PUT /api/{user}/lights/3 {\"name\":\"Desk\"}"}, Desk()},
        // Its whole name, letter case aside, names it as well as its id.
        {{"--bri=200"},
         {"PUT /api/{user}/lights/3/state {\"bri\":200}"},
         changed(&Desk::bri, "200"),
         "Desk"},
        {{"--on"},
         {"PUT /api/{user}/lights/3/state {\"on\":true}"},
         changed(&Desk::on, "1"),
         "dESK"},
        {{"--name=Reading", "--off", "--hue=300"},
         {"PUT /api/{user}/lights/3 {\"name\":\"Reading\"}",
          "PUT /api/{user}/lights/3/state {\"hue\":300}"},
         [] {
             Desk d;
             d.name = "Reading";
             d.mode =
                 "    Mode:                  hs\n    Hue:                   300\n"
                 "    Saturation:            0\n";
             return d;
         }()},
    };
    for (const auto& c : cases) {
        std::string line = "light --id=" + c.id;
        for (const auto& a : c.args) line += " " + a;
        SCOPED_TRACE(line);
        bridge().clear_requests();
        std::vector<std::string> args = {"light", "--id=" + c.id};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result = run(args);
        EXPECT_EQ(c.printed.printout(), result.output);
        EXPECT_EQ(0, result.status);
        EXPECT_EQ(desk_requests(c.changes), request_lines());
        // Put light 3 back as the fixture had it.
        bridge().update([](Json::Value& state) {
            state["lights"]["3"] = Json::parse(
                R"({"name": "Desk", "type": "Color temperature light", "modelid": "TW-100",
                    "swversion": "5.38.1",
                    "state": {"on": false, "bri": 100, "ct": 366, "alert": "select",
                              "effect": "colorloop", "colormode": "ct", "reachable": true}})");
        });
    }
}

constexpr const char* kPorchUnreachable =
    "Note: light 2 (Porch) is unreachable; the bridge took the change, but the light may not "
    "show it.\n";

// Colour in human terms: each command line and the one change it sends to
// the light's state, between the listing and the read after it; or the
// refusal of a light that cannot show it, after the listing alone. Light 1
// reports a narrow triangle (sRGB green lies beyond its green corner) and is
// in mode hs, light 2 no triangle (the widest is taken) and is in mode xy at
// 0.3127,0.329, light 3 colour temperatures 153-454 alone, light 4 brightness.
TEST_F(LightsCommand, ColourOptionsSendTheColourTheyName) {
    const struct {
        std::vector<std::string> args;
        std::string change;      // the request between the listing and the read; "" for none
        std::string error = "";  // the line on the error stream, or the refusal
        int status = 0;
    } cases[] = {
        {{"--id=1", "--color=red"}, R"(PUT /api/{user}/lights/1/state {"xy":[0.64,0.33]})"},
        {{"--id=1", "--color=#00ff00"}, R"(PUT /api/{user}/lights/1/state {"xy":[0.409,0.518]})"},
        {{"--id=1", "--xy=0.5,0.5"}, R"(PUT /api/{user}/lights/1/state {"xy":[0.4766,0.4682]})"},
        // The reported xy of a light in mode hs is not what it shows.
        {{"--id=1", "--xy=0.5,0.4"}, R"(PUT /api/{user}/lights/1/state {"xy":[0.5,0.4]})"},
        // Light 2 reports itself unreachable: a change sent to it says so.
        {{"--id=2", "--color=Orange", "--bri=200"},
         R"(PUT /api/{user}/lights/2/state {"bri":200,"xy":[0.5005,0.4408]})",
         kPorchUnreachable},
        {{"--id=2", "--color=rgb(0,0,255)"},
         R"(PUT /api/{user}/lights/2/state {"xy":[0.1535,0.0599]})",
         kPorchUnreachable},
        {{"--id=2", "--xy=0.3127,0.329"}, ""},  // what it shows already
        {{"--id=2", "--color=white"}, ""},      // 0.312727,0.329023: the same to four decimals
        {{"--id=3", "--kelvin=2700K"}, R"(PUT /api/{user}/lights/3/state {"ct":370})"},
        {{"--id=3", "--kelvin=2000"},
         R"(PUT /api/{user}/lights/3/state {"ct":454})",
         "Note: 2000 K is ct 500, outside ct 153-454 of light 3 (Desk); sent ct 454.\n"},
        {{"--id=3", "--kelvin=10000"},
         R"(PUT /api/{user}/lights/3/state {"ct":153})",
         "Note: 10000 K is ct 100, outside ct 153-454 of light 3 (Desk); sent ct 153.\n"},
        {{"--id=2", "--kelvin=1000"},
         R"(PUT /api/{user}/lights/2/state {"ct":500})",
         "Note: 1000 K is ct 1000, outside ct 153-500 of light 2 (Porch); sent ct 500.\n" +
             std::string(kPorchUnreachable)},
        {{"--id=3", "--toggle"}, R"(PUT /api/{user}/lights/3/state {"on":true})"},
        {{"--id=1", "--toggle"}, R"(PUT /api/{user}/lights/1/state {"on":false})"},
        {{"--id=3", "--color=red"},
         "",
         "Error: light 3 (Desk) cannot show color; it can do color temperature and brightness.\n",
         1},
        {{"--id=4", "--xy=0.3,0.3", "--name=Lamp"},
         "",
         "Error: light 4 (Odd) cannot show color; it can do brightness.\n",
         1},
        {{"--id=4", "--kelvin=2700"},
         "",
         "Error: light 4 (Odd) cannot show color temperature; it can do brightness.\n",
         1},
    };
    for (const auto& c : cases) {
        std::string line = "light";
        for (const auto& a : c.args) line += " " + a;
        SCOPED_TRACE(line);
        start(kFixture);
        std::vector<std::string> args = {"light", "--json"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result = run(args);
        EXPECT_EQ(c.status, result.status);
        EXPECT_EQ(c.error, result.errors);
        std::vector<std::string> requests = {"GET /api/{user}/lights"};
        if (!c.change.empty()) requests.push_back(c.change);
        if (c.status == 0) requests.push_back("GET /api/{user}/lights/" + c.args[0].substr(5));
        EXPECT_EQ(expanded(requests), request_lines());
    }
}

// An id always wins over a name; a name two lights carry names neither; a
// text that is neither fails. Nothing but the listing is read to tell.
TEST_F(LightsCommand, IdsAndNamesPickTheLightFromTheListing) {
    bridge().update([](Json::Value& state) {
        state["lights"]["1"]["name"] = "3";     // light 1 carries light 3's id as its name
        state["lights"]["4"]["name"] = "HALL";  // and light 4 light 1's old name
        state["lights"]["2"]["name"] = "hall";
    });
    const struct {
        const char* id;
        const char* failure;  // the line printed; null: light `changed` is changed
        const char* changed;
    } cases[] = {
        {"3", nullptr, "3"},
        {"33", "Error: no light with id 33.", nullptr},
        {"hall", "Error: more than one light is named hall: ids 2, 4.", nullptr},
        {"Hal", "Error: no light with id Hal.", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        bridge().clear_requests();
        const auto result = run({"light", std::string("--id=") + c.id, "--bri=9"});
        std::vector<std::string> requests = {"GET /api/{user}/lights"};
        if (c.failure) {
            EXPECT_EQ(std::string("\n") + c.failure + "\n", result.output);
            EXPECT_EQ(1, result.status);
        } else {
            EXPECT_EQ(0, result.status) << result.output;
            const std::string path = std::string("/api/{user}/lights/") + c.changed;
            requests.push_back("PUT " + path + "/state {\"bri\":9}");
            requests.push_back("GET " + path);
        }
        EXPECT_EQ(expanded(requests), request_lines());
    }
}

// A comma list changes each light in turn, a light command at least 100 ms
// after the last, and prints them together; a list with a light the bridge
// lacks changes none. "all" is one command to group 0, then the listing.
TEST_F(LightsCommand, SeveralLightsChangeInTurnAndAllAtOnce) {
    auto result = run({"light", "--id=3,hall,3", "--bri=9"});
    EXPECT_EQ(changed(&Desk::bri, "9").printout() +
                  "\n  Id:                      1\n  Name:                    Hall\n"
                  "  ModelId:                 CL-100\n  SwVersion:               1.4.2\n"
                  "  State:        \n    Reachable:             1\n    On:                    1\n"
                  "    Alert:                 none\n    Effect:                none\n"
                  "    Mode:                  hs\n    Hue:                   10000\n"
                  "    Saturation:            200\n    Brightness:            9\n",
              result.output);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(expanded({"GET /api/{user}/lights", R"(PUT /api/{user}/lights/3/state {"bri":9})",
                        "GET /api/{user}/lights/3", R"(PUT /api/{user}/lights/1/state {"bri":9})",
                        "GET /api/{user}/lights/1"}),
              request_lines());
    const auto logged = bridge().requests();
    EXPECT_GE(logged[3].at - logged[1].at, std::chrono::milliseconds(100));

    bridge().clear_requests();
    result = run({"light", "--id=1,Desk,9", "--on"});
    EXPECT_EQ("\nError: no light with id 9.\n", result.output);
    EXPECT_EQ(1, result.status);
    EXPECT_EQ(expanded({"GET /api/{user}/lights"}), request_lines());

    bridge().clear_requests();
    result = run({"light", "--id=all", "--off", "--bri=-5"});
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(expanded({R"(PUT /api/{user}/groups/0/action {"bri_inc":-5,"on":false})",
                        "GET /api/{user}/lights"}),
              request_lines());
    EXPECT_EQ(0u, result.output.find("\nLights:\n\n  Id:                      1\n"))
        << result.output;
}

TEST_F(LightsCommand, FailedStateChangeKeepsTheRename) {
    Sim::Fault refused;
    refused.body =
        R"([{"error":{"type":201,"address":"/lights/3/state/bri","description":"parameter, bri, is not modifiable. Device is set to off."}}])";
    bridge().set_fault("PUT", expand("/api/{user}/lights/3/state"), refused);
    const auto result = run({"light", "--id=3", "--name=Reading", "--bri=5"});
    EXPECT_EQ(
        "\n"
        R"({"error":{"address":"/lights/3/state/bri","description":"parameter, bri, is not modifiable. Device is set to off.","type":201}})"
        "\n",
        result.output);
    EXPECT_EQ(1, result.status);
    EXPECT_EQ(expanded({"GET /api/{user}/lights", "PUT /api/{user}/lights/3 {\"name\":\"Reading\"}",
                        "PUT /api/{user}/lights/3/state {\"bri\":5}"}),
              request_lines());
    EXPECT_EQ("Reading", Json::as_string(bridge().state().at("lights").at("3").at("name")));
}

TEST_F(LightsCommand, IdsStayInsideTheLightsResource) {
    bridge().update([](Json::Value& state) {
        state["lights"]["1/../x"] = Json::parse(R"({"name": "Slash", "state": {"bri": 1}})");
    });
    const auto result = run({"light", "--id=1/../x", "--bri=2"});
    EXPECT_EQ(0, result.status) << result.output;
    EXPECT_EQ(
        expanded({"GET /api/{user}/lights", "PUT /api/{user}/lights/1%2F..%2Fx/state {\"bri\":2}",
                  "GET /api/{user}/lights/1%2F..%2Fx"}),
        request_lines());
}

}  // namespace
