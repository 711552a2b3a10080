#include <ctime>
#include <string>
#include <vector>

#include <cpprest/json.h>
#include <gtest/gtest.h>

#include "support/process.hpp"
#include "support/sim_fixture.hpp"

namespace {

using testing_support::read_test_data;
using testing_support::RunResult;
using Lines = std::vector<std::string>;

const char kBridge[] = R"({"state": {"config": {
    "name": "Living room", "mac": "02:00:aa:1a:2b:3c", "swversion": "2.0.12",
    "apiversion": "1.2.1", "zigbeechannel": 15,
    "UTC": "2014-05-01T07:05:00", "localtime": "2014-05-01T09:05:00",
    "proxyaddress": "192.0.2.9", "proxyport": 3128,
    "swupdate": {"updatestate": 2, "url": "http://192.0.2.1/fw/latest",
                 "text": "Bug fixes and a new scene editor", "notify": true},
    "linkbutton": false, "ipaddress": "192.0.2.10", "netmask": "255.255.255.0",
    "gateway": "192.0.2.1", "dhcp": true, "portalservices": true, "timezone": "Europe/Berlin",
    "whitelist": {
        "-phone-0001": {"last use date": "2014-04-30T21:15:03",
                        "create date": "2013-12-24T18:00:00", "name": "my phone"},
        "~tablet-0002": {"last use date": "2014-03-01T00:00:00",
                         "create date": "2014-02-28T23:59:59", "name": "tablet app"}}}}})";

const char kLinkButtonError[] =
    R"({"error":{"address":"","description":"link button not pressed","type":101}})";

void replace(std::string& text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    ASSERT_NE(std::string::npos, at) << from;
    text.replace(at, from.size(), to);
}

// A bridge date text as the printout shows it ("%c UTC" of the C locale).
std::string printed_date(const std::string& bridge_text) {
    std::tm time{};
    EXPECT_NE(nullptr, strptime(bridge_text.c_str(), "%Y-%m-%dT%H:%M:%S", &time)) << bridge_text;
    char text[64];
    std::strftime(text, sizeof text, "%a %b %e %H:%M:%S %Y UTC", &time);
    return text;
}

class ConfigCommand : public testing_support::SimFixture {
protected:
    void SetUp() override { start(kBridge); }

    // The configuration printout of the fixture bridge, after the entry's empty line and
    // `messages`.
    std::string printout(const std::string& messages = "") const {
        return "\n" + messages + expand(read_test_data("config_printout.txt"));
    }
    std::string config_read() const { return expand("GET /api/{user}/config"); }
};

TEST_F(ConfigCommand, PrintsTheConfigurationAfterOneRead) {
    const RunResult result = run({"config"});
    EXPECT_EQ(printout(), result.output);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(Lines{config_read()}, request_lines());
}

TEST_F(ConfigCommand, AuthWhenAlreadyAllowedSendsNothingAndIgnoresDeauth) {
    const RunResult result = run({"config", "--auth", "--deauth=-phone-0001"});
    EXPECT_EQ(printout("App already allowed\n"), result.output);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(Lines{config_read()}, request_lines());
}

TEST_F(ConfigCommand, AuthWithLinkButtonPressedCreatesTheUser) {
    bridge().update(
        [this](web::json::value& state) { state.at("config").at("whitelist").erase(user()); });
    bridge().set_link_button(true);

    const RunResult result = run({"config", "--auth"});

    const web::json::value entry = bridge().state().at("config").at("whitelist").at(user());
    std::string expected = printout("User created\n");
    replace(expected, "Tue Apr  1 06:00:00 2014 UTC",
            printed_date(entry.at("create date").as_string()));
    replace(expected, "Thu May  1 07:00:00 2014 UTC",
            printed_date(entry.at("last use date").as_string()));
    EXPECT_EQ(expected, result.output);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(
        (Lines{config_read(), expand(R"(POST /api {"devicetype":"glowrig","username":"{user}"})"),
               config_read()}),
        request_lines());
}

TEST_F(ConfigCommand, AuthWithoutLinkButtonFails) {
    bridge().update(
        [this](web::json::value& state) { state.at("config").at("whitelist").erase(user()); });
    const RunResult result = run({"config", "--auth"});
    EXPECT_EQ(std::string("\nUser creation failed\n") + kLinkButtonError + "\n", result.output);
    EXPECT_EQ(1, result.status);
    EXPECT_EQ(
        (Lines{config_read(), expand(R"(POST /api {"devicetype":"glowrig","username":"{user}"})")}),
        request_lines());
}

TEST_F(ConfigCommand, AuthReplyThatIsNotAnArrayFails) {
    bridge().update(
        [this](web::json::value& state) { state.at("config").at("whitelist").erase(user()); });
    sim::Fault object_reply;
    object_reply.body = R"({"success":{"username":"x"}})";
    bridge().set_fault("POST", "/api", object_reply);
    const RunResult result = run({"config", "--auth"});
    EXPECT_EQ("\nUser creation failed\nnot an array\n", result.output);
    EXPECT_EQ(1, result.status);
    EXPECT_EQ(2u, request_lines().size());
}

TEST_F(ConfigCommand, DeauthRemovesAWhitelistedUser) {
    const RunResult result = run({"config", "--deauth=-phone-0001"});
    std::string expected = printout("User deleted\n");
    replace(expected,
            "\n    -phone-0001\n      Name:                my phone\n"
            "      CreationDate:        Tue Dec 24 18:00:00 2013 UTC\n"
            "      LastUseDate:         Wed Apr 30 21:15:03 2014 UTC\n",
            "");
    EXPECT_EQ(expected, result.output);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ((Lines{config_read(), expand("DELETE /api/{user}/config/whitelist/-phone-0001"),
                     config_read()}),
              request_lines());
}

TEST_F(ConfigCommand, DeauthOfAnUnknownUserSendsNoDelete) {
    // Ids are compared exactly, letter case included.
    const RunResult result = run({"config", "--deauth=-PHONE-0001"});
    EXPECT_EQ(printout("User not found\n"), result.output);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(Lines{config_read()}, request_lines());
}

TEST_F(ConfigCommand, DeauthRefusedByTheBridgeFails) {
    const std::string error =
        R"({"error":{"address":"/config/whitelist/-phone-0001","description":"not allowed","type":1}})";
    sim::Fault refusal;
    refusal.body = "[" + error + "]";
    bridge().set_fault("DELETE", expand("/api/{user}/config/whitelist/-phone-0001"), refusal);

    const RunResult result = run({"config", "--deauth=-phone-0001"});
    EXPECT_EQ("\nUser deletion failed\n" + error + "\n", result.output);
    EXPECT_EQ(1, result.status);
    EXPECT_EQ((Lines{config_read(), expand("DELETE /api/{user}/config/whitelist/-phone-0001")}),
              request_lines());
}

TEST_F(ConfigCommand, UpdateFirmwareInstallsAReadyUpdate) {
    const RunResult result = run({"config", "--updatefw"});
    std::string expected = printout();
    replace(expected, "UpdateState:           2", "UpdateState:           3");
    EXPECT_EQ(expected, result.output);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(
        (Lines{config_read(), expand(R"(PUT /api/{user}/config {"swupdate":{"updatestate":3}})"),
               config_read()}),
        request_lines());
}

TEST_F(ConfigCommand, UpdateFirmwareWithoutAReadyUpdateOnlyReadsAgain) {
    bridge().update([](web::json::value& state) {
        state.at("config").at("swupdate")["updatestate"] = web::json::value::number(1);
    });
    const RunResult result = run({"config", "--updatefw"});
    std::string expected = printout();
    replace(expected, "UpdateState:           2", "UpdateState:           1");
    EXPECT_EQ(expected, result.output);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ((Lines{config_read(), config_read()}), request_lines());
}

TEST_F(ConfigCommand, ErrorReplyToTheReadPrintsTheDefaults) {
    sim::Fault error;
    error.body = R"([{"error":{"address":"/config","description":"unauthorized user","type":1}}])";
    bridge().set_fault("GET", expand("/api/{user}/config"), error);
    const RunResult result = run({"config"});
    EXPECT_EQ("\n" + read_test_data("config_defaults.txt"), result.output);
    EXPECT_EQ(0, result.status);
}

class ConfigCommandUnauthorized : public testing_support::SimFixture {};

TEST_F(ConfigCommandUnauthorized, PrintsWhatTheBridgeShowsStrangers) {
    start(kBridge, /*whitelisted=*/false);
    const RunResult result = run({"config"});
    EXPECT_EQ("\n" + read_test_data("config_unauthorized.txt"), result.output);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(Lines{expand("GET /api/{user}/config")}, request_lines());
}

}  // namespace
