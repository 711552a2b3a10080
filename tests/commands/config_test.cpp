#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "access/credentials_file.hpp"
#include "hue/configuration.hpp"
#include "json/parse.hpp"
#include "json/text.hpp"
#include "support/process.hpp"
#include "support/sim_fixture.hpp"

namespace {

// True when a bridge takes `name` as requested: 10 to 40 ASCII letters and
// digits. The name glowrig asks for comes from this machine's host and user
// names, so the tests that expect it granted depend on it.
bool bridge_takes(const std::string& name) {
    return name.size() >= 10 && name.size() <= 40 &&
           std::all_of(name.begin(), name.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
           });
}

using TestingSupport::printed_time;
using TestingSupport::read_test_data;
using TestingSupport::RunResult;
using TestingSupport::TemporaryDirectory;
using Lines = std::vector<std::string>;

const std::string kBridge = read_test_data("config_fixture.json");

const char kLinkButtonError[] =
    R"({"error":{"address":"","description":"link button not pressed","type":101}})";

void replace(std::string& text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    ASSERT_NE(std::string::npos, at) << from;
    text.replace(at, from.size(), to);
}

class ConfigCommand : public TestingSupport::SimFixture {
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
    EXPECT_EQ("", result.errors);
}

TEST_F(ConfigCommand, AuthWhenAlreadyAllowedSendsNothingAndIgnoresDeauth) {
    const RunResult result = run({"config", "--auth", "--deauth=-phone-0001"});
    EXPECT_EQ(printout("App already allowed\n"), result.output);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ((Lines{config_read()}), request_lines());
}

TEST_F(ConfigCommand, AuthWithLinkButtonPressedCreatesTheUser) {
    if (!bridge_takes(user())) GTEST_SKIP() << "a bridge grants " << user() << " another name";
    bridge().update(
        [this](Json::Value& state) { state.at("config").at("whitelist").erase(user()); });
    bridge().set_link_button(true);

    const RunResult result = run({"config", "--auth"});

    const Json::Value entry = bridge().state().at("config").at("whitelist").at(user());
    std::string expected = printout("User created\n");
    replace(expected, "Tue Apr  1 06:00:00 2014 UTC",
            printed_time(Json::as_string(Json::at(entry, "create date"))));
    replace(expected, "Thu May  1 07:00:00 2014 UTC",
            printed_time(Json::as_string(Json::at(entry, "last use date"))));
    EXPECT_EQ(expected, result.output);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(
        (Lines{config_read(), expand(R"(POST /api {"devicetype":"glowrig","username":"{user}"})"),
               config_read()}),
        request_lines());
}

// The note of the failure and the failure go to standard output in text, to
// standard error with --json.
TEST_F(ConfigCommand, AuthWithoutLinkButtonFails) {
    bridge().update(
        [this](Json::Value& state) { state.at("config").at("whitelist").erase(user()); });
    const std::string lines = std::string("User creation failed\n") + kLinkButtonError + "\n";
    const std::string advice = expand(
        "the link button of {address} was not pressed: press it, then run this again within 30 "
        "s\n");
    const RunResult result = run({"config", "--auth"});
    EXPECT_EQ("\n" + lines, result.output);
    EXPECT_EQ(advice, result.errors);
    EXPECT_EQ(1, result.status);
    EXPECT_EQ(
        (Lines{config_read(), expand(R"(POST /api {"devicetype":"glowrig","username":"{user}"})")}),
        request_lines());
    const RunResult json = run({"config", "--auth", "--json"});
    EXPECT_EQ("", json.output);
    EXPECT_EQ(lines + advice, json.errors);
    EXPECT_EQ(1, json.status);
}

TEST_F(ConfigCommand, AuthReplyThatIsNotAnArrayFails) {
    bridge().update(
        [this](Json::Value& state) { state.at("config").at("whitelist").erase(user()); });
    Sim::Fault object_reply;
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

// A user the bridge does not know fails the command, without a printout.
TEST_F(ConfigCommand, DeauthOfAnUnknownUserFailsAndSendsNoDelete) {
    // Ids are compared exactly, letter case included.
    const RunResult result = run({"config", "--deauth=-PHONE-0001"});
    EXPECT_EQ("\nUser not found\n", result.output);
    EXPECT_EQ(1, result.status);
    EXPECT_EQ(Lines{config_read()}, request_lines());
    const RunResult json = run({"config", "--deauth=-PHONE-0001", "--json"});
    EXPECT_EQ("", json.output);
    EXPECT_EQ("User not found\n", json.errors);
    EXPECT_EQ(1, json.status);
}

TEST_F(ConfigCommand, DeauthRefusedByTheBridgeFails) {
    const std::string error =
        R"({"error":{"address":"/config/whitelist/-phone-0001","description":"not allowed","type":1}})";
    Sim::Fault refusal;
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
    bridge().update(
        [](Json::Value& state) { state.at("config").at("swupdate")["updatestate"] = 1; });
    const RunResult result = run({"config", "--updatefw"});
    std::string expected = printout();
    replace(expected, "UpdateState:           2", "UpdateState:           1");
    EXPECT_EQ(expected, result.output);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ((Lines{config_read(), config_read()}), request_lines());
}

TEST_F(ConfigCommand, BridgeFromTheEnvironmentUnlessTheCommandLineNamesOne) {
    EXPECT_EQ(0, run_plain({"config"}, {{"GLOWRIG_BRIDGE", address()}}).status);
    EXPECT_EQ(Lines{config_read()}, request_lines());
    // The command line wins over a variable naming a bridge that does not answer.
    EXPECT_EQ(0, run({"config"}, {{"GLOWRIG_BRIDGE", "127.0.0.1:9"}}).status);
}

// A bridge glowrig is not yet allowed on, with its link button pressed and one
// light, and a credentials file in a directory of the test's own.
class ConfigCommandGrants : public TestingSupport::SimFixture {
protected:
    void start_bridge(const std::string& fixture = kBridge) {
        start(fixture, /*whitelisted=*/false);
        bridge().set_link_button(true);
        bridge().update([](Json::Value& state) {
            state["lights"] = Json::parse(R"({"1": {"name": "Hall", "state": {
                "on": false, "bri": 1, "alert": "none", "reachable": true}}})");
            for (const char* empty : {"groups", "schedules", "scenes", "sensors", "rules"}) {
                state[empty] = Json::Value::object();
            }
        });
    }
    RunResult run_here(const std::vector<std::string>& args) {
        return run(args, {{"XDG_CONFIG_HOME", m_home->path()}});
    }
    std::string file() const { return m_home->path() + "/glowrig/bridges.json"; }
    void write_file(const std::string& text) {
        std::filesystem::create_directories(m_home->path() + "/glowrig");
        std::ofstream(file()) << text;
    }
    std::string file_text() const {
        std::ifstream in(file());
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    Json::Value entries() const { return Json::at(Json::parse(file_text()), "bridges"); }
    // The text `key` of entry `index` of the file.
    std::string member(std::size_t index, const char* key) const {
        return Json::as_string(Json::at(Json::at(entries(), index), key));
    }
    std::unique_ptr<TemporaryDirectory> m_home = std::make_unique<TemporaryDirectory>();
};

const char kOtherBridge[] =
    R"({"bridges": [{"id": "02aa000a0b0c", "address": "192.0.2.7", "username": "kept"}]})";
const char kGranted[] = "0123456789abcdef0123456789abcdef";

TEST_F(ConfigCommandGrants, GrantedNameIsKeptPerBridgeAndUsedByEveryCommand) {
    struct Case {
        const char* bridge;
        void (*prepare)(Sim::SimBridge& bridge);
        bool grants_requested;
    } cases[] = {
        {"generates every name", [](Sim::SimBridge& b) { b.set_generate_names(true); }, false},
        {"refuses the requested name beside a grant",
         [](Sim::SimBridge& b) {
             b.set_fault("POST", "/api",
                         Sim::Fault{200, "",
                                    R"([{"error":{"type":7,"address":"/username","description":
                                    "invalid value, desk-pcroot, for parameter, username"}},
                                    {"success":{"username":")" +
                                        std::string(kGranted) + R"("}}])",
                                    0});
             b.update([](Json::Value& state) {
                 state["config"]["whitelist"][kGranted] =
                     Json::parse(R"({"last use date": "", "create date": "", "name": "glowrig"})");
             });
         },
         false},
        {"takes the requested name", [](Sim::SimBridge&) {},
         bridge_takes(TestingSupport::this_user_id())},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bridge);
        m_home = std::make_unique<TemporaryDirectory>();
        start_bridge();
        c.prepare(bridge());
        if (!c.grants_requested) write_file(kOtherBridge);

        const RunResult auth = run_here({"config", "--auth"});
        EXPECT_EQ(0, auth.status) << auth.output;
        EXPECT_NE(std::string::npos, auth.output.find("\nUser created\n")) << auth.output;
        std::string granted = user();
        if (c.grants_requested) {
            // Every authorised bridge gets an entry, plain HTTP ones without a pin.
            ASSERT_EQ(1u, entries().size()) << file_text();
            EXPECT_EQ(user(), member(0, "username"));
            EXPECT_EQ(address(), member(0, "address"));
            EXPECT_FALSE(Json::has(Json::at(entries(), 0), "sha256"));
        } else {
            ASSERT_EQ(2u, entries().size()) << file_text();
            EXPECT_EQ("kept", member(0, "username"));
            EXPECT_EQ(address(), member(1, "address"));
            // The id the bridge's MAC address makes: it reports no "bridgeid".
            EXPECT_EQ("0200AAFFFE1A2B3C", member(1, "id"));
            granted = member(1, "username");
            EXPECT_NE(user(), granted);
            struct stat status {};
            ASSERT_EQ(0, stat(file().c_str(), &status));
            EXPECT_EQ(0600u, status.st_mode & 0777u);
            ASSERT_EQ(0, stat((m_home->path() + "/glowrig").c_str(), &status));
            EXPECT_EQ(0700u, status.st_mode & 0777u);
        }
        EXPECT_NE(std::string::npos, auth.output.find("\n    " + granted + "\n")) << auth.output;

        for (const auto& args : std::vector<std::vector<std::string>>{
                 {"lights"}, {"light", "--id=1", "--on"}, {"state"}}) {
            bridge().clear_requests();
            const RunResult result = run_here(args);
            EXPECT_EQ(0, result.status) << args[0] << result.output;
            ASSERT_FALSE(request_lines().empty());
            EXPECT_EQ(0u, request_lines().front().find("GET /api/" + granted)) << args[0];
        }
        const RunResult deauth = run_here({"config", "--deauth=" + granted});
        EXPECT_NE(std::string::npos, deauth.output.find("User deleted")) << deauth.output;
        EXPECT_EQ(c.grants_requested ? 0u : 1u, entries().size()) << file_text();
    }
}

// A bridge authorised over plain HTTP is kept under the id its configuration
// tells (this one reports no "bridgeid": the id is made from its MAC
// address), also when glowrig was allowed before and its entry has no id yet,
// so later runs without --bridge use it without a search; when it has moved,
// the search finds it, its entry follows, and the run after needs no search
// again.
TEST_F(ConfigCommandGrants, APlainBridgeIsRememberedByItsIdAndFollowedWhereItMoves) {
    const std::string granted = kGranted;
    const auto allow_granted = [this, &granted] {
        bridge().update([&granted](Json::Value& state) {
            state["config"]["whitelist"][granted] =
                Json::parse(R"({"last use date": "", "create date": "", "name": "glowrig"})");
        });
    };
    start_bridge();
    allow_granted();
    write_file(expand(R"({"bridges": [{"address": "{address}", "username": ")" + granted +
                      R"(", "scheme": "http", "port": )" + std::to_string(port()) + "}]}"));
    const RunResult auth = run_here({"config", "--auth"});
    EXPECT_NE(std::string::npos, auth.output.find("\nApp already allowed\n")) << auth.output;
    ASSERT_EQ(1u, entries().size()) << file_text();
    EXPECT_EQ("0200AAFFFE1A2B3C", member(0, "id"));
    EXPECT_EQ(granted, member(0, "username"));
    const Lines remembered = {"GET /api/config", "GET /api/" + granted + "/lights"};

    bridge().clear_requests();
    const RunResult here = run_plain({"lights"}, {{"XDG_CONFIG_HOME", m_home->path()}});
    EXPECT_EQ(0, here.status) << here.output;
    EXPECT_EQ(remembered, request_lines());

    // The bridge moves to another port, where only the portal lists it.
    Json::Value moved = Json::parse(kBridge);
    moved["portal"] =
        Json::parse(R"([{"id": "0200aafffe1a2b3c", "internalipaddress": "{address}"}])");
    start_bridge(Json::text(moved));
    allow_granted();
    const TestingSupport::Environment searching = {{"XDG_CONFIG_HOME", m_home->path()},
                                                   {"GLOWRIG_PORTAL", address()},
                                                   {"GLOWRIG_SSDP_WINDOW_MS", "100"}};
    const RunResult found = run_plain({"lights"}, searching);
    EXPECT_EQ(0, found.status) << found.output;
    EXPECT_EQ("GET /api/nupnp", request_lines().at(0));
    ASSERT_EQ(1u, entries().size()) << file_text();
    EXPECT_EQ(address(), member(0, "address"));
    EXPECT_EQ(granted, member(0, "username"));

    bridge().clear_requests();
    const RunResult after = run_plain({"lights"}, searching);
    EXPECT_EQ(0, after.status) << after.output;
    EXPECT_EQ(remembered, request_lines());  // no "GET /api/nupnp": no search
}

TEST_F(ConfigCommandGrants, UnsafeGrantedNamesAreRefusedAndNotStored) {
    const std::string cases[] = {
        "../../x",
        "a/b",
        "a b",
        "a?b#c",
        "\x1b[31mred",
        ".",
        "..",
        std::string(129, 'a'),
        std::string(5000, 'a'),
        "caf\xc3\xa9",
    };
    for (const auto& name : cases) {
        SCOPED_TRACE(name.substr(0, 20));
        m_home = std::make_unique<TemporaryDirectory>();
        start_bridge();
        bridge().set_fault(
            "POST", "/api",
            Sim::Fault{200, "",
                       "[{\"success\":{\"username\":" + Json::text(Json::Value(name)) + "}}]", 0});
        const RunResult auth = run_here({"config", "--auth"});
        EXPECT_EQ(1, auth.status);
        EXPECT_NE(std::string::npos,
                  auth.output.find("User creation failed\nError: the bridge granted a user name "
                                   "that is not 1 to 128 letters, digits, '-', '_' or '.'.\n"))
            << auth.output;
        EXPECT_FALSE(std::filesystem::exists(file()));
        // Nothing went to the bridge under the granted name.
        for (const auto& line : request_lines()) {
            EXPECT_TRUE(line.rfind("POST /api ", 0) == 0 ||
                        line == "GET /api/" + user() + "/config")
                << line;
        }
    }
    // The longest and the oddest names a bridge may grant are taken.
    for (const std::string& name : {std::string(128, 'z'), std::string("a-b_c.d")}) {
        EXPECT_TRUE(Hue::is_safe_user_name(name)) << name;
    }
}

TEST_F(ConfigCommandGrants, NameNoLongerOnTheBridgeIsAskedForAgainAndReplaced) {
    start_bridge();
    bridge().set_generate_names(true);
    write_file(expand(R"({"bridges": [{"address": "{address}", "username": "forgotten"}]})"));

    EXPECT_EQ(0, run_here({"config", "--auth"}).status);
    ASSERT_EQ(1u, entries().size()) << file_text();
    const std::string granted = member(0, "username");
    EXPECT_EQ(32u, granted.size());
    EXPECT_EQ((Lines{"GET /api/forgotten/config",
                     expand(R"(POST /api {"devicetype":"glowrig","username":"{user}"})"),
                     "GET /api/" + granted + "/config"}),
              request_lines());
}

// Over plain HTTP the id the configuration tells picks the entry: the name
// kept for another bridge that was at this address is asked with, as every
// command naming the address does, but neither kept nor replaced.
TEST_F(ConfigCommandGrants, TheEntryOfAnotherBridgeAtTheAddressIsLeftAlone) {
    start_bridge();
    bridge().set_generate_names(true);
    const std::string other =
        R"({"id":"0200AAFFFE000001","address":"{address}","username":"other-bridges-name"})";
    write_file(expand(R"({"bridges": [)" + other + "]}"));
    EXPECT_EQ(0, run_here({"config", "--auth"}).status);
    EXPECT_EQ("GET /api/other-bridges-name/config", request_lines().at(0));
    ASSERT_EQ(2u, entries().size()) << file_text();
    EXPECT_EQ(Json::parse(expand(other)), Json::at(entries(), 0));
    EXPECT_EQ("0200AAFFFE1A2B3C", member(1, "id"));
}

TEST_F(ConfigCommandGrants, UnreadableFileFailsTheRunAndIsKept) {
    start_bridge();
    write_file("{\"bridges\": [{\"address\": 7}]}");
    const RunResult result = run_here({"config", "--auth"});
    EXPECT_EQ("\nError: " + file() +
                  " is not a readable list of bridge user names; repair or remove it.\n",
              result.output);
    EXPECT_EQ(1, result.status);
    EXPECT_EQ("{\"bridges\": [{\"address\": 7}]}", file_text());
}

class ConfigCommandUnauthorized : public TestingSupport::SimFixture {};

TEST_F(ConfigCommandUnauthorized, PrintsWhatTheBridgeShowsStrangers) {
    start(kBridge, /*whitelisted=*/false);
    const RunResult result = run({"config"});
    EXPECT_EQ("\n" + read_test_data("config_unauthorized.txt"), result.output);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(Lines{expand("GET /api/{user}/config")}, request_lines());
    // What was withheld is told, once, with the way to be shown it.
    const std::string advice = expand(
        "glowrig is not authorised on {address}: press its link button, then run glowrig config "
        "--auth --bridge={address}\n");
    EXPECT_EQ(advice, result.errors);
    // The JSON printout holds null for what a stranger is not shown.
    const RunResult json = run({"config", "--json"});
    EXPECT_EQ(
        R"({"configuration":{"dhcp":null,"gateway":null,"ipaddress":null,"linkbutton":null,"mac":"02:00:aa:1a:2b:3c","name":"Living room","netmask":null,"portalservices":null,"proxy":null,"swupdate":null,"swversion":"2.0.12","utc":null,"whitelist":null},"result":null})"
        "\n",
        json.output);
    EXPECT_EQ(advice, json.errors);
}

}  // namespace
