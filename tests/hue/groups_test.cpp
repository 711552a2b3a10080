#include "hue/groups.hpp"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hue/bridge.hpp"
#include "hue/details/group_impl.hpp"
#include "json/parse.hpp"
#include "json/text.hpp"
#include "support/sim_fixture.hpp"

namespace Hue {
namespace {

Json::Value parse(const std::string& text) { return Json::parse(text); }

class GroupReading : public ::testing::Test {
protected:
    std::shared_ptr<details::Group_Impl> impl =
        std::make_shared<details::Group_Impl>(Client(), "1");
};

TEST_F(GroupReading, ActionWithOnlyOnSetsOnlyItsBit) {
    impl->read(parse(R"({"name":"Kitchen","lights":["1","3"],"action":{"on":true}})"));
    const GroupAction a = impl->action();
    EXPECT_EQ(0x100u, a.flags);
    EXPECT_TRUE(a.on);
    EXPECT_EQ(0, a.bri);
    EXPECT_EQ(ColorMode::invalid, a.colormode);
    EXPECT_EQ("none", a.effect);
    EXPECT_EQ((std::vector<std::string>{"1", "3"}), impl->lights());
}

TEST_F(GroupReading, EachKeySetsItsPresenceBit) {
    struct Case {
        const char* action;
        std::uint32_t flags;
    } cases[] = {
        {R"({"effect":"none"})", GroupActionField::effect},
        {R"({"alert":"none"})", GroupActionField::alert},
        {R"({"colormode":"hs"})", GroupActionField::colormode},
        {R"({"xy":[0.1]})", GroupActionField::xy},
        {R"({"ct":153})", GroupActionField::ct},
        {R"({"hue":1})", GroupActionField::hue},
        {R"({"sat":1})", GroupActionField::sat},
        {R"({"bri":1})", GroupActionField::bri},
        {R"({"on":false,"bri":1,"reachable":true})", GroupActionField::on | GroupActionField::bri},
        {R"({})", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.action);
        impl->read(parse(std::string(R"({"action":)") + c.action + "}"));
        EXPECT_EQ(c.flags, impl->action().flags);
    }
}

TEST_F(GroupReading, SecondReadClearsMissingBitsButKeepsValues) {
    impl->read(parse(R"({"action":{"on":true,"bri":120}})"));
    impl->read(parse(R"({"action":{"on":false}})"));
    const GroupAction a = impl->action();
    EXPECT_EQ(0x100u, a.flags);
    EXPECT_FALSE(a.on);
    EXPECT_EQ(120, a.bri);
}

TEST_F(GroupReading, MemberListIsReplacedOrEmptied) {
    impl->read(parse(R"({"lights":["1","2"]})"));
    impl->read(parse(R"({"name":"Hall"})"));
    EXPECT_FALSE(impl->whole());  // whole only with members and action in one object
    impl->read(parse(R"({"action":{}})"));
    EXPECT_FALSE(impl->whole());
    EXPECT_EQ((std::vector<std::string>{"1", "2"}), impl->lights());
    impl->read(parse(R"({"lights":[],"action":{}})"));
    EXPECT_TRUE(impl->lights().empty());
    EXPECT_TRUE(impl->whole());
    EXPECT_THROW(impl->read(parse(R"({"lights":[1]})")), Json::Error);
}

TEST_F(GroupReading, ActionChangeSharesTheLightRules) {
    impl->read(parse(R"({"action":{"on":false,"bri":10,"colormode":"hs"}})"));
    GroupAction desired = impl->action();
    desired.colormode = ColorMode::ct;
    desired.flags = 0;
    impl->set_desired(desired);
    EXPECT_TRUE(impl->action_body(10).is_null());
    // Nothing to send: nothing is sent through the placeholder client, which
    // reaches no bridge.
    EXPECT_NO_THROW(Group(impl).save_action(10));
    desired.hue = 300;
    impl->set_desired(desired);
    EXPECT_EQ(R"({"hue":300,"transitiontime":10})", Json::text(impl->action_body(10)));
    // Fields asked for always are sent though the action already says them.
    impl->set_desired(impl->action(), GroupActionField::on | GroupActionField::bri);
    EXPECT_EQ(R"({"bri":10,"on":false})", Json::text(impl->action_body(0)));
}

TEST(GroupsFromJson, KeepsEveryKeyInOrder) {
    EXPECT_TRUE(Groups::from_json(Client(), parse("{}")).empty());
    const Groups groups =
        Groups::from_json(Client(), parse(R"({"lastscan":{"name":""},"1":{"name":"A"}})"));
    std::vector<std::string> seen;
    for (const Group& group : groups) seen.push_back(group.id() + "=" + group.name());
    EXPECT_EQ((std::vector<std::string>{"1=A", "lastscan="}), seen);
}

// Requests against the simulated bridge.
class GroupRequests : public TestingSupport::SimFixture {
protected:
    void SetUp() override {
        start(R"({"state": {"groups": {"2": {"name": "Hall", "lights": ["1", "2"],
                                             "action": {"on": true, "bri": 9}}}}})");
        client = Bridge("", {.host = ip(), .port = port()})
                     .make_client(AppIdentity{"glowrig", user()}, "groups", Http::Options());
    }

    Client client;
};

TEST_F(GroupRequests, RefreshOfAnErrorReplySucceedsAndChangesNothing) {
    auto impl = std::make_shared<details::Group_Impl>(client, "7");
    impl->read(parse(R"({"name":"Gone","lights":["4"],"action":{"bri":3}})"));
    Group group(impl);
    EXPECT_NO_THROW(group.refresh());
    EXPECT_EQ("Gone", group.name());
    EXPECT_EQ(std::vector<std::string>{"4"}, group.lights());
    EXPECT_EQ(GroupActionField::bri, group.action().flags);
    EXPECT_EQ(expanded({"GET /api/{user}/groups/7"}), request_lines());
}

TEST_F(GroupRequests, SaveSendsNameAndMembersAlways) {
    auto impl = std::make_shared<details::Group_Impl>(client, "2");
    Group group(impl);
    group.refresh();
    group.set_name("Hallway");
    group.save();
    EXPECT_EQ("1", Groups::from_json(client, parse("{}")).create("Empty", {}));
    EXPECT_EQ(expanded({"GET /api/{user}/groups/2",
                        R"(PUT /api/{user}/groups/2 {"lights":["1","2"],"name":"Hallway"})",
                        R"(POST /api/{user}/groups {"lights":[],"name":"Empty"})"}),
              request_lines());
}

// The id of a new group is that of the first success element naming one.
TEST_F(GroupRequests, CreateYieldsTheIdTheBridgeNamed) {
    const struct {
        const char* reply;
        std::optional<std::string> id;
    } cases[] = {
        {R"([{"success":{"id":"7"}}])", "7"},
        {R"([{"success":{"/groups/7":"created"}},{"success":{"id":"8"}}])", "8"},
        {R"([{"success":{"id":7}}])", std::nullopt},
        {R"([])", std::nullopt},
        {R"({"success":{"id":"7"}})", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        bridge().set_fault("POST", expand("/api/{user}/groups"), Sim::Fault{200, "", c.reply, 0});
        EXPECT_EQ(c.id, Groups::from_json(client, parse("{}")).create("G", {"1"}));
    }
}

}  // namespace
}  // namespace Hue
