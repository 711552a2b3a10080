#include "commands/sensors.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "json/parse.hpp"
#include "support/sim_fixture.hpp"

namespace {

// The sample's sensors (daylight, motion, temperature, light level, a dimmer
// switch), and 6, a sensor of a kind glowrig does not decode, with a battery
// of null and a time of "none".
class SensorsCommand : public TestingSupport::SimFixture {
protected:
    void SetUp() override {
        start(TestingSupport::read_test_data("../../fixtures/sample.json"));
        bridge().update([](Json::Value& state) {
            state["sensors"]["6"] = Json::parse(
                R"({"name":"Away","type":"CLIPGenericStatus","modelid":"X","swversion":"1",
                    "state":{"status":2,"lastupdated":"none"},"config":{"on":false,"battery":null}})");
        });
    }
};

TEST_F(SensorsCommand, ListsEverySensorLabelledBriefAndAsJson) {
    auto result = run({"sensors"});
    EXPECT_EQ(TestingSupport::read_test_data("sensors_listing.txt"), result.output);
    EXPECT_EQ(0, result.status);
    result = run({"sensors", "--brief"});
    EXPECT_EQ(
        "ID  NAME              TYPE               VALUE                        BATTERY  REACHABLE  "
        "ON\n"
        "1   Daylight          Daylight           no daylight                                      "
        "yes\n"
        "2   Hall motion       ZLLPresence        no motion                    90%      yes        "
        "yes\n"
        "3   Hall temperature  ZLLTemperature     21.57 °C                     90%      yes        "
        "yes\n"
        "4   Hall light level  ZLLLightLevel      300 lux, not dark, daylight  90%      yes        "
        "yes\n"
        "5   Dimmer            ZLLSwitch          button 1 short release       100%     yes        "
        "yes\n"
        "6   Away              CLIPGenericStatus  status=2                                         "
        "no\n",
        result.output);
    result = run({"sensors", "--json"});
    const Json::Value sensors = Json::at(Json::parse(result.output), "sensors");
    ASSERT_EQ(6u, sensors.size());
    EXPECT_EQ(Json::parse(R"({"config":{"battery":100,"on":true,"reachable":true},"id":"5",
        "lastupdated":"2026-12-08T06:58:31Z","modelid":"DS-100","name":"Dimmer",
        "state":{"buttonevent":1002,"lastupdated":"2026-12-08T06:58:31"},"swversion":"1.4",
        "type":"ZLLSwitch","values":{"action":"short release","button":1,"celsius":null,
        "dark":null,"daylight":null,"lux":null,"presence":null}})"),
              sensors[4]);
    EXPECT_EQ(21.57, Json::at(Json::at(sensors[2], "values"), "celsius").get<double>());
    EXPECT_EQ(300, Json::at(Json::at(sensors[3], "values"), "lux").get<double>());
    EXPECT_TRUE(Json::at(sensors[5], "lastupdated").is_null());
    EXPECT_EQ(expanded(std::vector<std::string>(3, "GET /api/{user}/sensors")), request_lines());
}

// One listing; a switch is sent, then the sensor read again; a sensor the
// listing lacks, or --on with --off, sends nothing more.
TEST_F(SensorsCommand, SensorIsFoundByIdOrNameAndSwitched) {
    const struct {
        std::vector<std::string> args;
        const char* line;  // the output's first line but one; status 0 with "Sensors:"
        int status;
        std::vector<std::string> requests;
    } cases[] = {
        {{"--id=dimmer", "--off"},
         "Sensors:",
         0,
         {"GET /api/{user}/sensors", R"(PUT /api/{user}/sensors/5/config {"on":false})",
          "GET /api/{user}/sensors/5"}},
        {{"--id=6", "--on"},
         "Sensors:",
         0,
         {"GET /api/{user}/sensors", R"(PUT /api/{user}/sensors/6/config {"on":true})",
          "GET /api/{user}/sensors/6"}},
        {{"--id=5"}, "Sensors:", 0, {"GET /api/{user}/sensors"}},
        {{"--id=Doorbell", "--off"},
         "Error: no sensor with id Doorbell.",
         1,
         {"GET /api/{user}/sensors"}},
        {{"--id=5", "--on", "--off"}, "Error: options --on and --off exclude each other.", 2, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front() + (c.args.size() > 1 ? " " + c.args[1] : ""));
        bridge().clear_requests();
        std::vector<std::string> args = {"sensor"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result = run(args);
        EXPECT_EQ(std::string("\n") + c.line + "\n",
                  result.output.substr(0, result.output.find('\n', 1) + 1));
        EXPECT_EQ(c.status, result.status);
        EXPECT_EQ(expanded(c.requests), request_lines());
    }
    const Json::Value sensors = Json::at(bridge().state(), "sensors");
    EXPECT_FALSE(Json::as_bool(Json::at(Json::at(Json::at(sensors, "5"), "config"), "on")));
    EXPECT_TRUE(Json::as_bool(Json::at(Json::at(Json::at(sensors, "6"), "config"), "on")));
    const auto shown = run({"sensor", "--id=5", "--json"});
    EXPECT_NE(std::string::npos, shown.output.find(R"("config":{"battery":100,"on":false,)"));
}

}  // namespace
