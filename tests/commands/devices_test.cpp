#include "commands/devices.hpp"

#include <string>

#include <gtest/gtest.h>

#include "json/parse.hpp"
#include "json/text.hpp"
#include "sim/event_data.hpp"
#include "support/process.hpp"
#include "support/sim_fixture.hpp"

namespace {

using namespace std::string_literals;

class DevicesCommand : public TestingSupport::SimFixture {
protected:
    void SetUp() override {
        serve_tls();
        Json::Value sample =
            Json::parse(TestingSupport::read_test_data("../../fixtures/sample.json"));
        sample["linkbutton"] = true;
        start(Json::text(sample), /*whitelisted=*/false);
        ASSERT_EQ(0, run({"config", "--auth"}, home()).status);
        bridge().clear_requests();
    }
    TestingSupport::Environment home() const { return {{"XDG_CONFIG_HOME", m_home.path()}}; }
    TestingSupport::TemporaryDirectory m_home;
};

// Each form shows a device's battery, connectivity and update as its services
// tell them, from one read of the resources; a bridge without the newer interface is refused.
TEST_F(DevicesCommand, ListsEachDeviceWithItsBatteryInEachForm) {
    const std::string id = Sim::uuid_from("device/sensors/6");
    const auto brief = run({"devices", "--brief"}, home()).output;
    for (
        const std::string& row :
        {"\n" + id +
             "  Hall switch         ZLLSwitch            17% low      connected     no_update\n",
         "  Dimmer              ZLLSwitch            100% normal  connected     no_update\n"s,
         "  Desk                Color lamp                        connected     ready_to_install\n"s,
         "  Garden              White lamp                        disconnected  no_update\n"s}) {
        EXPECT_NE(std::string::npos, brief.find(row)) << brief;
    }
    const auto text = run({"devices"}, home()).output;
    EXPECT_NE(std::string::npos,
              text.find("  Name:                    Hall switch\n  Product:                 "
                        "ZLLSwitch\n  Battery:                 17% low\n  Connectivity:            "
                        "connected\n  Update:                  no_update\n"))
        << text;
    const auto listed = Json::parse(run({"devices", "--json"}, home()).output);
    EXPECT_EQ(
        Json::parse(R"({"battery":17,"battery_state":"low","connectivity":"connected","id":")" +
                    id + R"(","name":"Hall switch","product":"ZLLSwitch","update":"no_update"})"),
        Json::at(listed, "devices")[8]);
    EXPECT_EQ(std::vector<std::string>(3, "GET /clip/v2/resource"), request_lines());

    const auto refused = run({"devices"});
    EXPECT_EQ(expand("\nError: the bridge at https://{address} has no newer interface; devices "
                     "needs it.\n"),
              refused.output);
    EXPECT_EQ(1, refused.status);
}

}  // namespace
