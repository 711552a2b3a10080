#include "hue/schedules.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hue/bridge.hpp"
#include "hue/bridge_error.hpp"
#include "hue/details/schedule_impl.hpp"
#include "json/parse.hpp"
#include "json/text.hpp"
#include "support/sim_fixture.hpp"

namespace Hue {
namespace {

const Http::Options kConfig;

// A client of an address where nothing listens: any request through it fails.
Client unreachable_client() {
    return Client(
        resource_endpoint(Http::Endpoint{Http::Scheme::Http, "127.0.0.1", 9}, "api/u/schedules"),
        kConfig);
}

std::vector<Schedule> listed(const char* json) {
    const Schedules schedules = Schedules::from_json(unreachable_client(), Json::parse(json));
    return std::vector<Schedule>(schedules.begin(), schedules.end());
}

TEST(ScheduleReading, ReadsEveryFieldAndKeepsTheCommandAsJsonText) {
    const auto schedules = listed(R"({"1": {
        "name": "Wake up", "description": "Morning \u00e9", "time": "W124/T06:30:00",
        "status": "enabled",
        "command": {"method": "PUT", "body": {"on": true}, "address": "/api/u/groups/0/action"}}})");
    ASSERT_EQ(1u, schedules.size());
    const Schedule& s = schedules[0];
    EXPECT_EQ("1", s.id());
    EXPECT_EQ("Wake up", s.name());
    EXPECT_EQ("Morning \u00e9", s.description());
    EXPECT_EQ(ScheduleTimeKind::weekly, s.time().kind);
    EXPECT_EQ("W124/T06:30:00", s.time().format_time());
    EXPECT_EQ(R"({"address":"/api/u/groups/0/action","body":{"on":true},"method":"PUT"})",
              s.command());
    EXPECT_EQ("enabled", s.status());
    EXPECT_TRUE(s.whole());
    EXPECT_EQ("", listed(R"({"1": {"name": "a"}})")[0].status());
    // Whole only with both a command and a time.
    EXPECT_FALSE(listed(R"({"1": {"name": "a", "time": "PT01:00:00"}})")[0].whole());
    EXPECT_FALSE(listed(R"({"1": {"name": "a", "command": {}}})")[0].whole());
}

TEST(ScheduleReading, ListingKeepsKeyOrderAndEveryKey) {
    const auto schedules = listed(R"({"2": {"name": "b"}, "10": {}, "1": {},
                                      "3": {}, "10": {}, "10": {}})");
    std::vector<std::string> ids;
    for (const auto& s : schedules) ids.push_back(s.id());
    // A repeated id is one schedule, so a change is sent to it once.
    EXPECT_EQ((std::vector<std::string>{"1", "10", "2", "3"}), ids);
    // A member that is not an object is no schedule.
    for (const char* json : {R"({"10": "not an object"})", R"({"3": [1, 2]})"}) {
        SCOPED_TRACE(json);
        EXPECT_THROW(listed(json), Json::Error);
    }
    for (const std::size_t i : {0u, 1u, 3u}) {
        SCOPED_TRACE(i);
        EXPECT_EQ("", schedules[i].name());
        EXPECT_EQ("", schedules[i].description());
        EXPECT_EQ("", schedules[i].command());
        EXPECT_EQ(ScheduleTimeKind::none, schedules[i].time().kind);
    }
    EXPECT_EQ("b", schedules[2].name());
}

TEST(ScheduleReading, WrongTypeFailsWithTheJsonErrorAfterTheEarlierKeys) {
    const struct {
        const char* json;
        const char* name;  // read before the failing key
    } cases[] = {
        {R"({"name": 5})", "old"},
        {R"({"name": "new", "description": true})", "new"},
        {R"({"name": "new", "time": 1})", "new"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        details::Schedule_Impl impl(unreachable_client(), "1");
        impl.set_name("old");
        EXPECT_THROW(impl.read(Json::parse(c.json)), Json::Error);
        EXPECT_EQ(c.name, impl.name());
    }
    EXPECT_THROW(Schedules::from_json(unreachable_client(), Json::parse(R"({"1": {"name": 1}})")),
                 Json::Error);
}

// Only the name and description set since the last read are sent: never the
// time, which written to a timer starts it again, nor the command.
TEST(ScheduleSaving, BodyHoldsOnlyWhatWasSetSinceTheLastRead) {
    const struct {
        const char* name;         // nullptr: not set
        const char* description;  // nullptr: not set
        const char* body;
    } cases[] = {
        {nullptr, nullptr, "null"},
        {"n", nullptr, R"({"name":"n"})"},
        {nullptr, "d", R"({"description":"d"})"},
        {"n", "d", R"({"description":"d","name":"n"})"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        details::Schedule_Impl impl(unreachable_client(), "1");
        impl.read(Json::parse(R"({"name":"a","description":"b","time":"R05/PT00:10:00",)"
                              R"("command":{"x":1}})"));
        if (c.name != nullptr) impl.set_name(c.name);
        if (c.description != nullptr) impl.set_description(c.description);
        EXPECT_EQ(c.body, Json::text(impl.save_body()));
        impl.read(Json::parse("{}"));
        EXPECT_EQ("null", Json::text(impl.save_body()));
    }
}

TEST(ScheduleSaving, NothingToSaveSendsNoRequest) {
    const auto schedules = listed(R"({"1": {"command": {"on": true}}})");
    Schedule s = schedules[0];
    // The client cannot reach anything: a request would fail.
    EXPECT_NO_THROW(s.save());
}

class ScheduleRequests : public TestingSupport::SimFixture {
protected:
    Schedules read_listing() {
        const Bridge bridge("", {.host = ip(), .port = port()});
        const AppIdentity identity{"glowrig", user()};
        return bridge.get_schedules(kConfig, identity);
    }
};

TEST_F(ScheduleRequests, RefreshOfAnUnknownIdLeavesTheScheduleAsItWas) {
    start(R"({"state": {"schedules": {"7": {"name": "Gone", "time": "PT00:01:00"}}}})");
    Schedules schedules = read_listing();
    bridge().update([](Json::Value& state) { state["schedules"].erase("7"); });
    Schedule s = *schedules.begin();
    EXPECT_NO_THROW(s.refresh());
    EXPECT_EQ("Gone", s.name());
    EXPECT_EQ("PT00:01:00", s.time().format_time());
    EXPECT_EQ(expand("GET /api/{user}/schedules/7"), request_lines().back());
}

TEST_F(ScheduleRequests, SaveAndRemoveSendTheIdAsOneSegment) {
    start(R"({"state": {"schedules": {"a/b": {"time": "PT10:00", "command": {}}}}})");
    Schedules schedules = read_listing();
    Schedule s = *schedules.begin();
    s.set_name("Nap");
    s.save();
    schedules.remove("a/b");
    // Now gone: the bridge's error replies fail both writes.
    EXPECT_THROW(schedules.remove("a/b"), BridgeError);
    EXPECT_THROW(s.save(), BridgeError);
    const std::string put = expand(R"(PUT /api/{user}/schedules/a%2Fb {"name":"Nap"})");
    const std::string del = expand("DELETE /api/{user}/schedules/a%2Fb");
    const std::vector<std::string> expected = {expand("GET /api/{user}/schedules"), put, del, del,
                                               put};
    EXPECT_EQ(expected, request_lines());
}

}  // namespace
}  // namespace Hue
