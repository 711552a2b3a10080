#include "commands/newer_light_options.hpp"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/event_data.hpp"
#include "support/sim_fixture.hpp"

namespace Commands {
namespace {

// Lamp: effects, timed effects and a narrow colour triangle; Strip: three
// gradient points; Plain: white, no colour; Den: a room of the first two.
const char kBridge[] = R"({"linkbutton": true, "state": {
    "config": {"name": "Hall", "bridgeid": "ECB5FAFFFE0A62C3", "whitelist": {}},
    "lights": {
      "1": {"name": "Lamp", "capabilities": {"control": {"colorgamuttype": "A",
            "colorgamut": [[0.704, 0.296], [0.2151, 0.7106], [0.138, 0.08]]}},
            "state": {"on": true, "bri": 144, "xy": [0.5, 0.4], "colormode": "xy", "reachable": true}},
      "2": {"name": "Strip", "state": {"on": true, "bri": 144, "xy": [0.5, 0.4], "reachable": true}},
      "3": {"name": "Plain", "state": {"on": false, "bri": 1, "reachable": true}}},
    "groups": {"1": {"name": "Den", "lights": ["1", "2"], "type": "Room", "action": {"on": true}}}},
  "v2": {"lights": {
    "1": {"effects": {"effect": "no_effect", "effect_values": ["no_effect", "candle"]},
          "timed_effects": {"effect": "no_effect", "effect_values": ["no_effect", "sunrise"]}},
    "2": {"gradient": {"points": [], "points_capable": 3, "mode_values": ["interpolated_palette"]}}}}})";

class NewerLightOptions : public TestingSupport::SimFixture {
protected:
    // Runs `args` against a TLS bridge, authorised first when `newer` so
    // that the entry marks its newer interface, and returns the result with the
    // PUTs it sent in `m_puts`, each as "TYPE/ID-PATH BODY".
    TestingSupport::RunResult change(const std::vector<std::string>& args, bool newer = true) {
        m_home.emplace();  // no credentials of an earlier bridge
        const TestingSupport::Environment env{{"XDG_CONFIG_HOME", m_home->path()}};
        serve_tls();
        start(kBridge, /*whitelisted=*/!newer);
        if (newer) EXPECT_EQ(0, run({"config", "--auth"}, env).status);
        const std::size_t before = request_lines().size();
        const auto result = run(args, env);
        const auto lines = request_lines();
        for (std::size_t i = before; i < lines.size(); ++i) {
            if (lines[i].rfind("PUT", 0) == 0) m_puts.push_back(lines[i]);
        }
        return result;
    }

    std::string uuid(const char* path) const { return Sim::uuid_from(path); }

    std::optional<TestingSupport::TemporaryDirectory> m_home;
    std::vector<std::string> m_puts;
};

TEST_F(NewerLightOptions, SendsWhatTheLightReportsAfterTheOlderChange) {
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> puts;
    } cases[] = {
        {{"light", "--id=Lamp", "--effect=candle"},
         {"PUT /clip/v2/resource/light/" + uuid("/lights/1") +
          R"( {"effects":{"effect":"candle"}})"}},
        {{"light", "--id=1", "--off", "--sunrise=1h30m"},
         {"PUT /api/{user}/lights/1/state {\"on\":false}",
          "PUT /clip/v2/resource/light/" + uuid("/lights/1") +
              R"( {"timed_effects":{"duration":5400000,"effect":"sunrise"}})"}},
        {{"light", "--id=2", "--gradient=rgb(255,0,0),#0000ff,white"},
         {"PUT /clip/v2/resource/light/" + uuid("/lights/2") +
          R"( {"gradient":{"points":[{"color":{"xy":{"x":0.64,"y":0.33}}},{"color":{"xy":{"x":0.1535,"y":0.0599}}},{"color":{"xy":{"x":0.3127,"y":0.329}}}]}})"}},
        // Colours are moved into the light's own triangle.
        {{"light", "--id=1", "--signal=alternating", "--signal-colors=red,blue", "--signal-for=3"},
         {"PUT /clip/v2/resource/light/" + uuid("/lights/1") +
          R"( {"signaling":{"colors":[{"xy":{"x":0.64,"y":0.33}},{"xy":{"x":0.1418,"y":0.0815}}],"duration":3000,"signal":"alternating"}})"}},
        {{"group", "--id=Den", "--signal=on_off"},
         {"PUT /clip/v2/resource/grouped_light/" + uuid("/groups/1") +
          R"( {"signaling":{"duration":10000,"signal":"on_off"}})"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[1] + " " + c.args.back());
        m_puts.clear();
        const auto result = change(c.args);
        EXPECT_EQ(0, result.status) << result.output;
        EXPECT_EQ(expanded(c.puts), m_puts);
    }
}

TEST_F(NewerLightOptions, RefusesInOneLineAndSendsNothing) {
    const struct {
        std::vector<std::string> args;
        bool newer;
        int status;
        std::string output;
    } cases[] = {
        {{"light", "--id=1,2", "--effect=candle"},
         true,
         1,
         "Error: light 2 (Strip) cannot do --effect=candle; it can do: nothing of the kind.\n"},
        {{"light", "--id=1", "--effect=fire"},
         true,
         1,
         "Error: light 1 (Lamp) cannot do --effect=fire; it can do: no_effect, candle.\n"},
        {{"light", "--id=3", "--signal=on_off_color", "--signal-colors=red"},
         true,
         1,
         "Error: light 3 (Plain) cannot do --signal=on_off_color; it can do: no_signal, on_off.\n"},
        {{"light", "--id=2", "--gradient=red,blue,lime,white"},
         true,
         1,
         "Error: light 2 (Strip) cannot do --gradient of 4 colours; it can do 2 to 3.\n"},
        {{"light", "--id=1", "--gradient=red,blue"},
         true,
         1,
         "Error: light 1 (Lamp) cannot do --gradient; it shows one colour.\n"},
        {{"light", "--id=1", "--sunset=10m", "--on"},
         true,
         1,
         "Error: light 1 (Lamp) cannot do --sunset; it can do: no_effect, sunrise.\n"},
        {{"light", "--id=1", "--sunset=10m"},
         false,
         1,
         "Error: the bridge at https://{address} has no newer interface; --sunset needs it.\n"},
        {{"group", "--id=1", "--signal=on_off"},
         false,
         1,
         "Error: the bridge at https://{address} has no newer interface; --signal needs it.\n"},
        {{"light", "--id=1", "--effect=candle"},
         false,
         2,
         "Error: option 'effect' must be none or colorloop.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[1] + " " + c.args.back());
        m_puts.clear();
        const auto result = change(c.args, c.newer);
        EXPECT_EQ(c.status, result.status);
        EXPECT_EQ(expand("\n" + c.output), result.output + result.errors);
        EXPECT_EQ(std::vector<std::string>(), m_puts);
    }
}

}  // namespace
}  // namespace Commands
