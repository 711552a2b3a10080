#include "hue/details/requests.hpp"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include <cpprest/json.h>
#include <gtest/gtest.h>

#include "hue/bridge.hpp"
#include "hue/details/group_impl.hpp"
#include "hue/details/light_impl.hpp"
#include "hue/details/schedule_impl.hpp"
#include "hue/groups.hpp"
#include "hue/lights.hpp"
#include "hue/schedules.hpp"
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
        std::function<pplx::task<void>()> write;
    } cases[] = {
        {"PUT", "lights/1",
         [&] {
             auto impl = std::make_shared<details::Light_Impl>(client("lights"), "1");
             impl->set_name("Lamp");
             return Light(impl).save_name();
         }},
        {"PUT", "lights/1/state",
         [&] {
             Light light(std::make_shared<details::Light_Impl>(client("lights"), "1"));
             LightState on;
             on.on = true;
             light.set_state(on, LightField::on);
             return light.save_state(4);
         }},
        {"POST", "lights",
         [&] { return Lights::from_json(client("lights"), web::json::value::object()).search(); }},
        {"PUT", "groups/2",
         [&] {
             Group group(std::make_shared<details::Group_Impl>(client("groups"), "2"));
             group.set_name("Hallway");
             return group.save();
         }},
        {"PUT", "groups/2/action",
         [&] {
             Group group(std::make_shared<details::Group_Impl>(client("groups"), "2"));
             GroupAction on;
             on.on = true;
             group.set_action(on, GroupActionField::on);
             return group.save_action(4);
         }},
        {"POST", "groups",
         [&] {
             return Groups::from_json(client("groups"), web::json::value::object())
                 .create("Empty", {})
                 .then([](const std::optional<std::string>&) {});
         }},
        {"DELETE", "groups/2",
         [&] {
             return Groups::from_json(client("groups"), web::json::value::object()).remove("2");
         }},
        {"PUT", "schedules/3",
         [&] {
             Schedule schedule(std::make_shared<details::Schedule_Impl>(client("schedules"), "3"));
             schedule.set_name("Sleep");
             return schedule.save();
         }},
        {"DELETE", "schedules/3",
         [&] {
             return Schedules::from_json(client("schedules"), web::json::value::object())
                 .remove("3");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + c.path);
        bridge().set_fault(c.method, expand("/api/{user}/") + c.path,
                           Sim::Fault{200, "", refusal, 0});
        try {
            c.write().get();
            ADD_FAILURE() << "counted as done";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(web::json::value::parse(refusal).at(0).serialize(), e.what());
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
        std::function<pplx::task<void>()> refresh;
    } cases[] = {
        {"lights/1",
         [&] {
             return Light(std::make_shared<details::Light_Impl>(client("lights"), "1")).refresh();
         }},
        {"groups/2",
         [&] {
             return Group(std::make_shared<details::Group_Impl>(client("groups"), "2")).refresh();
         }},
        {"schedules/3",
         [&] {
             return Schedule(std::make_shared<details::Schedule_Impl>(client("schedules"), "3"))
                 .refresh();
         }},
    };
    for (const auto& c : cases) {
        for (const char* reply : {"5", "\"text\"", "true", "null"}) {
            SCOPED_TRACE(std::string(c.path) + " answered " + reply);
            bridge().set_fault("GET", expand("/api/{user}/") + c.path,
                               Sim::Fault{200, "", std::string(reply), 0});
            EXPECT_THROW(c.refresh().get(), web::json::json_exception);
        }
    }
}

}  // namespace
}  // namespace Hue
