#include "hue/pacing.hpp"

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "hue/bridge.hpp"
#include "hue/details/group_impl.hpp"
#include "hue/details/light_impl.hpp"
#include "hue/groups.hpp"
#include "hue/lights.hpp"
#include "json/value.hpp"
#include "support/sim_fixture.hpp"

namespace Hue {
namespace {

using ms = std::chrono::milliseconds;

class PacedCommands : public TestingSupport::SimFixture {
protected:
    void TearDown() override { pacer() = Pacer(); }
};

TEST_F(PacedCommands, LightAndGroupCommandsGoThroughTheRunsPacer) {
    start(R"({"state": {"lights": {"1": {"name": "Desk", "state": {"on": false}}},
              "groups": {"2": {"name": "Hall", "lights": ["1"], "action": {"on": false}}},
              "scenes": {"s": {"name": "Calm", "lights": ["1"]}}}})");
    Pacer::Clock::time_point now{};  // moves only as slept on
    std::vector<ms> slept;
    pacer() = Pacer([&] { return now; },
                    [&](Pacer::Clock::duration wait) {
                        slept.push_back(std::chrono::duration_cast<ms>(wait));
                        now += wait;
                    });
    const auto client = [this](const char* path) {
        return Bridge("", {.host = ip(), .port = port()})
            .make_client(AppIdentity{"glowrig", user()}, path, Http::Options());
    };
    Light light(std::make_shared<details::Light_Impl>(client("lights"), "1"));
    Group group(std::make_shared<details::Group_Impl>(client("groups"), "2"));
    LightState on;
    on.on = true;
    GroupAction all_on;
    all_on.on = true;
    for (int i = 0; i < 2; ++i) {
        light.set_state(on, LightField::on);
        light.save_state(0);
        group.set_action(all_on, GroupActionField::on);
        group.save_action(0);
    }
    Groups::from_json(client("groups"), Json::Value::object()).recall_scene("2", "s");
    EXPECT_EQ(ms(0), pacer().wait("another bridge", Command::group));
    EXPECT_EQ((std::vector<ms>{ms(100), ms(900), ms(1000)}), slept);
}

}  // namespace
}  // namespace Hue
