#include "hue/details/requests.hpp"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "hue/bridge.hpp"
#include "hue/bridge_error.hpp"
#include "hue/details/group_impl.hpp"
#include "hue/details/light_impl.hpp"
#include "hue/details/schedule_impl.hpp"
#include "hue/groups.hpp"
#include "hue/lights.hpp"
#include "hue/schedules.hpp"
#include "json/parse.hpp"
#include "json/text.hpp"
#include "support/sim_fixture.hpp"

namespace Hue {
namespace {

const char kFixture[] = R"({"state": {"lights": {"1": {"name": "Desk", "state": {"on": false}}},
                        "groups": {"2": {"name": "Hall", "lights": ["1"], "action": {"on": false}}},
                        "schedules": {"3": {"name": "Wake", "time": "2014-09-20T19:35:26",
                                            "command": {}}}}})";

class ResourceRequests : public TestingSupport::SimFixture {
protected:
    Client client(const std::string& path) {
        return Bridge("", ip(), "", port())
            .make_client(AppIdentity{"glowrig", user()}, path, ClientConfig());
    }
};

// A bridge that refuses a write answers 200 with an error element: every write
// method fails with that element, none counts it as done.
TEST_F(ResourceRequests, EveryWriteFailsOnAnErrorReply) {
    start(kFixture);
    const std::string refusal = R"([{"error":{"type":3,"address":"/x","description":"no"}}])";
    const struct {
        const char* method;
        const char* path;
        std::function<void()> write;
    } cases[] = {
        {"PUT", "lights/1",
         [&] {
             auto impl = std::make_shared<details::Light_Impl>(client("lights"), "1");
             impl->set_name("Lamp");
             Light(impl).save_name();
         }},
        {"PUT", "lights/1/state",
         [&] {
             Light light(std::make_shared<details::Light_Impl>(client("lights"), "1"));
             LightState on;
             on.on = true;
             light.set_state(on, LightField::on);
             light.save_state(4);
         }},
        {"POST", "lights",
         [&] { Lights::from_json(client("lights"), Json::Value::object()).search(); }},
        {"PUT", "groups/2",
         [&] {
             Group group(std::make_shared<details::Group_Impl>(client("groups"), "2"));
             group.set_name("Hallway");
             group.save();
         }},
        {"PUT", "groups/2/action",
         [&] {
             Group group(std::make_shared<details::Group_Impl>(client("groups"), "2"));
             GroupAction on;
             on.on = true;
             group.set_action(on, GroupActionField::on);
             group.save_action(4);
         }},
        {"POST", "groups",
         [&] { Groups::from_json(client("groups"), Json::Value::object()).create("Empty", {}); }},
        {"DELETE", "groups/2",
         [&] { Groups::from_json(client("groups"), Json::Value::object()).remove("2"); }},
        {"PUT", "schedules/3",
         [&] {
             Schedule schedule(std::make_shared<details::Schedule_Impl>(client("schedules"), "3"));
             schedule.set_name("Sleep");
             schedule.save();
         }},
        {"DELETE", "schedules/3",
         [&] { Schedules::from_json(client("schedules"), Json::Value::object()).remove("3"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + c.path);
        bridge().set_fault(c.method, expand("/api/{user}/") + c.path,
                           Sim::Fault{200, "", refusal, 0});
        try {
            c.write();
            ADD_FAILURE() << "counted as done";
        } catch (const BridgeError& e) {
            EXPECT_EQ(Json::text(Json::at(Json::parse(refusal), 0)), e.what());
        }
    }
}

// A refresh answered by a value that is neither an object nor (for groups and
// schedules, whose refresh reads an error array as nothing new) an array
// fails: it is no item at all, and must not leave the item as if read.
TEST_F(ResourceRequests, EveryRefreshFailsOnAValueThatIsNotAnObject) {
    start(kFixture);
    const struct {
        const char* path;
        std::function<void()> refresh;
    } cases[] = {
        {"lights/1",
         [&] { Light(std::make_shared<details::Light_Impl>(client("lights"), "1")).refresh(); }},
        {"groups/2",
         [&] { Group(std::make_shared<details::Group_Impl>(client("groups"), "2")).refresh(); }},
        {"schedules/3",
         [&] {
             Schedule(std::make_shared<details::Schedule_Impl>(client("schedules"), "3")).refresh();
         }},
    };
    for (const auto& c : cases) {
        for (const char* reply : {"5", "\"text\"", "true", "null"}) {
            SCOPED_TRACE(std::string(c.path) + " answered " + reply);
            bridge().set_fault("GET", expand("/api/{user}/") + c.path,
                               Sim::Fault{200, "", std::string(reply), 0});
            EXPECT_THROW(c.refresh(), Json::Error);
        }
    }
}

}  // namespace
}  // namespace Hue
