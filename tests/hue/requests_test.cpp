#include "hue/details/requests.hpp"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "hue/bridge.hpp"
#include "hue/bridge_error.hpp"
#include "hue/configuration.hpp"
#include "hue/details/group_impl.hpp"
#include "hue/details/light_impl.hpp"
#include "hue/details/schedule_impl.hpp"
#include "hue/fullstate.hpp"
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
        return Bridge("", {.host = ip(), .port = port()})
            .make_client(AppIdentity{"glowrig", user()}, path, Http::Options());
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

// Each read checks its reply as the request table says: the listings, the
// whole state and a light's refresh fail on an error array; the
// configuration's read and save and the refreshes of a group or a schedule
// pass it on (an error array holds none of their keys).
TEST_F(ResourceRequests, EachReadFailsOrNotOnAnErrorArrayAsItsKindSays) {
    start(kFixture);
    const std::string refusal = R"([{"error":{"type":1,"address":"/","description":"no"}}])";
    const Bridge hue("", {.host = ip(), .port = port()});
    const AppIdentity identity{"glowrig", user()};
    const Http::Options config;
    const struct {
        const char* method;
        const char* path;
        bool fails;
        std::function<void()> read;
    } cases[] = {
        {"GET", "", true, [&] { hue.get_full_state(config, identity); }},
        {"GET", "/lights", true, [&] { hue.get_lights(config, identity); }},
        {"GET", "/lights/new", true, [&] { hue.get_new_lights(config, identity); }},
        {"GET", "/groups", true, [&] { hue.get_groups(config, identity); }},
        {"GET", "/schedules", true, [&] { hue.get_schedules(config, identity); }},
        {"GET", "/lights/1", true,
         [&] { Light(std::make_shared<details::Light_Impl>(client("lights"), "1")).refresh(); }},
        {"GET", "/config", false, [&] { hue.get_configuration(config, identity); }},
        {"PUT", "/config", false,
         [&] {
             Configuration configuration(client("config"));
             configuration.pending_settings().name = "Hall";
             configuration.save();
         }},
        {"GET", "/groups/2", false,
         [&] { Group(std::make_shared<details::Group_Impl>(client("groups"), "2")).refresh(); }},
        {"GET", "/schedules/3", false,
         [&] {
             Schedule(std::make_shared<details::Schedule_Impl>(client("schedules"), "3")).refresh();
         }},
    };
    for (const auto& c : cases) {
        bridge().set_fault(c.method, expand("/api/{user}") + c.path,
                           Sim::Fault{200, "", refusal, 0});
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + c.path);
        if (c.fails) {
            EXPECT_THROW(c.read(), BridgeError);
        } else {
            EXPECT_NO_THROW(c.read());
        }
        // The request line without its body: the request reached the bridge.
        const std::string sent = request_lines().back();
        EXPECT_EQ(std::string(c.method) + " " + expand("/api/{user}") + c.path,
                  sent.substr(0, sent.find(' ', sent.find(' ') + 1)));
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
