// Broken bridge replies, grouped by what goes wrong. Each case breaks one step
// of one command and checks the one message glowrig prints, its exit status 1,
// and that the step that failed was the last request sent.
#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "faults/fault_table.hpp"
#include "sim/sim_bridge.hpp"
#include "support/raw_tcp_server.hpp"
#include "support/sim_fixture.hpp"

namespace Faults {
namespace {

using TestingSupport::Environment;
using TestingSupport::RawTcpServer;
using TestingSupport::RunResult;

// One bridge with one light, one group, one schedule and a second user.
constexpr const char* kFixture = R"({"state": {
  "config": {"name": "Bridge", "swversion": "2.0.12", "apiversion": "1.3.0",
             "mac": "02:00:aa:aa:bb:cc", "ipaddress": "{ip}", "UTC": "2014-05-01T07:00:00",
             "linkbutton": false, "dhcp": true, "portalservices": true,
             "swupdate": {"updatestate": 2, "url": "", "text": "", "notify": false},
             "whitelist": {"other": {"last use date": "2014-05-01T07:00:00",
                                     "create date": "2014-04-01T06:00:00", "name": "phone"}}},
  "lights": {"1": {"name": "Hall", "modelid": "CL-100", "swversion": "1",
                   "state": {"on": true, "bri": 100, "hue": 1, "sat": 2, "xy": [0.5, 0.4],
                             "ct": 300, "alert": "none", "effect": "none", "colormode": "ct",
                             "reachable": true}}},
  "groups": {"1": {"name": "Room", "lights": ["1"],
                   "action": {"on": true, "bri": 100, "ct": 300, "colormode": "ct"}}},
  "schedules": {"1": {"name": "Wake", "description": "Morning", "time": "2014-05-01T07:00:00",
                      "command": {"address": "/api/x/lights/1/state", "method": "PUT",
                                  "body": {"on": true}}}}},
  "linkbutton": true})";

Sim::Fault body(std::string text) { return Sim::Fault{200, "", std::move(text), 0}; }
Sim::Fault status(int code) { return Sim::Fault{code, "", std::nullopt, 0}; }

// A bridge step that answers wrongly.
struct ReplyCase {
    const char* what;
    std::vector<std::string> args;  // without --bridge
    const char* method;             // the failing step ...
    const char* path;               // ... as the bridge receives it
    const char* fault_text;         // the fault, for the document
    Sim::Fault fault;
    const char* output;                 // after the leading empty line
    std::vector<std::string> requests;  // every request the bridge received
    bool whitelisted = true;            // whether glowrig is on the bridge's whitelist
    bool names_only = false;  // the listings give each item's name alone, as old firmware's
    std::string errors = {};  // on standard error
};

// `c` on a bridge whose listings give names alone, so that every item listed
// is read on its own (current firmware lists whole items: nothing is read again).
ReplyCase old_firmware(ReplyCase c) {
    c.names_only = true;
    return c;
}

// Not JSON, cut short, or of another shape than the readers expect.
std::vector<ReplyCase> body_cases() {
    return {
        {"Reply is not JSON",
         {"lights"},
         "GET",
         "/api/{user}/lights",
         "answers `<html>not json</html>`",
         body("<html>not json</html>"),
         "Error: the bridge's reply is not JSON (line 1, column 1).\n",
         {"GET /api/{user}/lights"}},
        old_firmware({"Reply to a refresh is not JSON",
                      {"groups"},
                      "GET",
                      "/api/{user}/groups/1",
                      "answers `<html>`",
                      body("<html>"),
                      "Error: the bridge's reply is not JSON (line 1, column 1).\n",
                      {"GET /api/{user}/groups", "GET /api/{user}/groups/1"}}),
        {"Reply is a bare word",
         {"schedules"},
         "GET",
         "/api/{user}/schedules",
         "answers `nope`",
         body("nope"),
         "Error: the bridge's reply is not JSON (line 1, column 2).\n",
         {"GET /api/{user}/schedules"}},
        {"Empty body with status 200",
         {"config"},
         "GET",
         "/api/{user}/config",
         "answers 200 with no body",
         body(""),
         "Error: the bridge's reply is not JSON (line 1, column 1).\n",
         {"GET /api/{user}/config"}},
        {"Empty body with status 200 to a write",
         {"light", "--id=1", "--bri=10"},
         "PUT",
         "/api/{user}/lights/1/state",
         "answers 200 with no body",
         body(""),
         "Error: the bridge's reply is not JSON (line 1, column 1).\n",
         {"GET /api/{user}/lights", R"(PUT /api/{user}/lights/1/state {"bri":10})"}},
        {"Truncated JSON",
         {"config"},
         "GET",
         "/api/{user}/config",
         R"(answers `{"name":"Bri`)",
         body(R"({"name":"Bri)"),
         "Error: the bridge's reply is not JSON (line 1, column 13).\n",
         {"GET /api/{user}/config"}},
        {"Truncated JSON of the whole state",
         {"state"},
         "GET",
         "/api/{user}",
         R"(answers `{"config":`)",
         body(R"({"config":)"),
         "Error: the bridge's reply is not JSON (line 1, column 11).\n",
         {"GET /api/{user}"}},
        {"Truncated JSON to a write",
         {"schedule", "--id=1", "--name=Late"},
         "PUT",
         "/api/{user}/schedules/1",
         R"(answers `[{"success":`)",
         body(R"([{"success":)"),
         "Error: the bridge's reply is not JSON (line 1, column 13).\n",
         {"GET /api/{user}/schedules", R"(PUT /api/{user}/schedules/1 {"name":"Late"})"}},
        {"Truncated JSON to a rename",
         {"group", "--id=1", "--name=Den"},
         "PUT",
         "/api/{user}/groups/1",
         R"(answers `[{"success":{"/groups/1/name"`)",
         body(R"([{"success":{"/groups/1/name")"),
         "Error: the bridge's reply is not JSON (line 1, column 30).\n",
         {"GET /api/{user}/groups", R"(PUT /api/{user}/groups/1 {"lights":["1"],"name":"Den"})"}},
        {"Array where the listing object is read",
         {"lights"},
         "GET",
         "/api/{user}/lights",
         "answers `[1,2]`",
         body("[1,2]"),
         "not an object\n",
         {"GET /api/{user}/lights"}},
        old_firmware({"Number where a light's name is read",
                      {"light", "--id=1", "--bri=10"},
                      "GET",
                      "/api/{user}/lights/1",
                      R"(answers `{"name":5}`)",
                      body(R"({"name":5})"),
                      "not a string\n",
                      {"GET /api/{user}/lights", "GET /api/{user}/lights/1"}}),
        old_firmware({"Array where a light's state object is read",
                      {"lights"},
                      "GET",
                      "/api/{user}/lights/1",
                      R"(answers `{"state":[]}`)",
                      body(R"({"state":[]})"),
                      "not an object\n",
                      {"GET /api/{user}/lights", "GET /api/{user}/lights/1"}}),
        {"Object where the xy array is read",
         {"lights"},
         "GET",
         "/api/{user}/lights",
         R"(answers `{"1":{"state":{"xy":{}}}}`)",
         body(R"({"1":{"state":{"xy":{}}}})"),
         "not an array\n",
         {"GET /api/{user}/lights"}},
        old_firmware({"String where a brightness is read",
                      {"lights"},
                      "GET",
                      "/api/{user}/lights/1",
                      R"(answers `{"state":{"bri":"high"}}`)",
                      body(R"({"state":{"bri":"high"}})"),
                      "not a number\n",
                      {"GET /api/{user}/lights", "GET /api/{user}/lights/1"}}),
        {"String where a group's light list is read",
         {"groups"},
         "GET",
         "/api/{user}/groups",
         R"(answers `{"1":{"lights":"1"}}`)",
         body(R"({"1":{"lights":"1"}})"),
         "not an array\n",
         {"GET /api/{user}/groups"}},
        old_firmware({"Number where a group's light id is read",
                      {"group", "--id=1", "--on"},
                      "GET",
                      "/api/{user}/groups/1",
                      R"(answers `{"lights":[1]}`)",
                      body(R"({"lights":[1]})"),
                      "not a string\n",
                      {"GET /api/{user}/groups", "GET /api/{user}/groups/1"}}),
        old_firmware({"Number where a schedule's time is read",
                      {"schedule", "--id=1", "--desc=Late"},
                      "GET",
                      "/api/{user}/schedules/1",
                      R"(answers `{"time":7}`)",
                      body(R"({"time":7})"),
                      "not a string\n",
                      {"GET /api/{user}/schedules", "GET /api/{user}/schedules/1"}}),
        {"Array where the whitelist object is read",
         {"config"},
         "GET",
         "/api/{user}/config",
         R"(answers `{"whitelist":[1]}`)",
         body(R"({"whitelist":[1]})"),
         "not an object\n",
         {"GET /api/{user}/config"}},
        {"Array where the name is read, before a write",
         {"config", "--auth"},
         "GET",
         "/api/{user}/config",
         R"(answers `{"name":["Bridge"]}`)",
         body(R"({"name":["Bridge"]})"),
         "not a string\n",
         {"GET /api/{user}/config"}},
        {"Firmware object lacking its members",
         {"config", "--updatefw"},
         "GET",
         "/api/{user}/config",
         R"(answers `{"swupdate":{}}`)",
         body(R"({"swupdate":{}})"),
         "Key not found\n",
         {"GET /api/{user}/config"}},
        {"Whole state lacking its configuration",
         {"state"},
         "GET",
         "/api/{user}",
         R"(answers `{"lights":{},"groups":{},"schedules":{}}`)",
         body(R"({"lights":{},"groups":{},"schedules":{}})"),
         "Key not found\n",
         {"GET /api/{user}"}},
        {"Array where the rules object is read",
         {"state"},
         "GET",
         "/api/{user}",
         R"(answers `{"config":{},...,"rules":[]}`)",
         body(R"({"config":{},"lights":{},"groups":{},"schedules":{},"rules":[]})"),
         "not an object\n",
         {"GET /api/{user}"}},
        {"Arrays nested 1,000,000 deep",
         {"lights"},
         "GET",
         "/api/{user}/lights",
         "answers `[[[[...]]]]`",
         body(std::string(1000000, '[') + std::string(1000000, ']')),
         "Error: the bridge's reply is nested more than 128 deep.\n",
         {"GET /api/{user}/lights"}},
        {"Objects nested 100,000 deep",
         {"config"},
         "GET",
         "/api/{user}/config",
         R"(answers `{"a":{"a":...}}`)",
         body([] {
             std::string text;
             for (int i = 0; i < 100000; ++i) text += R"({"a":)";
             return text + "1" + std::string(100000, '}');
         }()),
         "Error: the bridge's reply is nested more than 128 deep.\n",
         {"GET /api/{user}/config"}},
        {"Link button error beside a granted name",
         {"config", "--auth"},
         "POST",
         "/api",
         "answers a type-101 error element and a success element granting a name",
         body(R"([{"error":{"type":101,"address":"","description":"link button not pressed"}},)"
              R"({"success":{"username":"0123456789abcdef"}}])"),
         "User creation failed\n"
         R"({"error":{"address":"","description":"link button not pressed","type":101}})"
         "\n",
         {"GET /api/{user}/config", R"(POST /api {"devicetype":"glowrig","username":"{user}"})"},
         false,
         false,
         "the link button of {address} was not pressed: press it, then run this again within "
         "30 s\n"},
        {"Error object to a write",
         {"light", "--id=1", "--bri=10"},
         "PUT",
         "/api/{user}/lights/1/state",
         R"(answers the object `{"error":{"type":7}}`)",
         body(R"({"error":{"type":7}})"),
         "{\"error\":{\"type\":7}}\n",
         {"GET /api/{user}/lights", R"(PUT /api/{user}/lights/1/state {"bri":10})"}},
        {"Configuration is a number",
         {"config"},
         "GET",
         "/api/{user}/config",
         "answers `42`",
         body("42"),
         "not an object\n",
         {"GET /api/{user}/config"}},
        {"A number beyond the range of any number type",
         {"config"},
         "GET",
         "/api/{user}/config",
         "answers `1e999`",
         body("1e999"),
         "Error: the bridge's reply is not JSON (line 1, column 5).\n",
         {"GET /api/{user}/config"}},
        {"State whose configuration is an array",
         {"state"},
         "GET",
         "/api/{user}",
         R"(answers `{"config":[],"lights":{},"groups":{},"schedules":{}}`)",
         body(R"({"config":[],"lights":{},"groups":{},"schedules":{}})"),
         "not an object\n",
         {"GET /api/{user}"}},
        old_firmware({"Light is null",
                      {"lights"},
                      "GET",
                      "/api/{user}/lights/1",
                      "answers `null`",
                      body("null"),
                      "not an object\n",
                      {"GET /api/{user}/lights", "GET /api/{user}/lights/1"}}),
    };
}

// Replies with another status than 200.
std::vector<ReplyCase> status_cases() {
    return {
        {"Status 301",
         {"lights"},
         "GET",
         "/api/{user}/lights",
         "answers 301",
         status(301),
         "HTTP 301 Moved Permanently\n",
         {"GET /api/{user}/lights"}},
        {"Status 401",
         {"config"},
         "GET",
         "/api/{user}/config",
         "answers 401",
         status(401),
         "HTTP 401 Unauthorized\n",
         {"GET /api/{user}/config"}},
        {"Status 500 with its own reason",
         {"state"},
         "GET",
         "/api/{user}",
         "answers `500 Overheated`",
         Sim::Fault{500, "Overheated", std::nullopt, 0},
         "HTTP 500 Overheated\n",
         {"GET /api/{user}"}},
        {"Status 500 to a light's state change",
         {"light", "--id=1", "--bri=10"},
         "PUT",
         "/api/{user}/lights/1/state",
         "answers 500",
         status(500),
         "HTTP 500 Internal Error\n",
         {"GET /api/{user}/lights", R"(PUT /api/{user}/lights/1/state {"bri":10})"}},
        {"Status 500 to a light's rename",
         {"light", "--id=1", "--name=Den", "--bri=10"},
         "PUT",
         "/api/{user}/lights/1",
         "answers 500",
         status(500),
         "HTTP 500 Internal Error\n",
         {"GET /api/{user}/lights", R"(PUT /api/{user}/lights/1 {"name":"Den"})"}},
        {"Status 500 to a user creation",
         {"config", "--auth"},
         "POST",
         "/api",
         "answers 500",
         status(500),
         "User creation failed\nHTTP 500 Internal Error\n",
         {"GET /api/{user}/config", R"(POST /api {"devicetype":"glowrig","username":"{user}"})"},
         false},
        {"Status 500 to a user deletion",
         {"config", "--deauth=other"},
         "DELETE",
         "/api/{user}/config/whitelist/other",
         "answers 500",
         status(500),
         "User deletion failed\nHTTP 500 Internal Error\n",
         {"GET /api/{user}/config", "DELETE /api/{user}/config/whitelist/other"}},
        {"Status 500 to a firmware update",
         {"config", "--updatefw"},
         "PUT",
         "/api/{user}/config",
         "answers 500",
         status(500),
         "HTTP 500 Internal Error\n",
         {"GET /api/{user}/config", R"(PUT /api/{user}/config {"swupdate":{"updatestate":3}})"}},
        {"Status 503 to a search for new lights, every time",
         {"lights", "--find"},
         "POST",
         "/api/{user}/lights",
         "answers 503 without Retry-After, each time: sent twice more, a second apart",
         status(503),
         "HTTP 503 Service Unavailable\n",
         {"GET /api/{user}/lights", "POST /api/{user}/lights", "POST /api/{user}/lights",
          "POST /api/{user}/lights"}},
        {"Status 401 to the new lights listing",
         {"lights", "--find"},
         "GET",
         "/api/{user}/lights/new",
         "answers 401",
         status(401),
         "Searching for new lights...\nHTTP 401 Unauthorized\n",
         {"GET /api/{user}/lights", "POST /api/{user}/lights", "GET /api/{user}/lights/new"}},
        {"Status 500 to a group creation",
         {"group", "--id=new", "--name=Den", "-l=1"},
         "POST",
         "/api/{user}/groups",
         "answers 500",
         status(500),
         "HTTP 500 Internal Error\n",
         {"GET /api/{user}/groups", "GET /api/{user}/lights",
          R"(POST /api/{user}/groups {"lights":["1"],"name":"Den"})"}},
        {"Status 500 to a group deletion",
         {"group", "--id=1", "--delete"},
         "DELETE",
         "/api/{user}/groups/1",
         "answers 500",
         status(500),
         "HTTP 500 Internal Error\n",
         {"GET /api/{user}/groups", "DELETE /api/{user}/groups/1"}},
        {"Status 500 to a group's action change",
         {"group", "--id=1", "--bri=5"},
         "PUT",
         "/api/{user}/groups/1/action",
         "answers 500",
         status(500),
         "HTTP 500 Internal Error\n",
         {"GET /api/{user}/groups", R"(PUT /api/{user}/groups/1/action {"bri":5})"}},
        {"Status 500 to the read after a schedule's change",
         {"schedule", "--id=1", "--desc=Late"},
         "GET",
         "/api/{user}/schedules/1",
         "answers 500",
         status(500),
         "HTTP 500 Internal Error\n",
         {"GET /api/{user}/schedules", R"(PUT /api/{user}/schedules/1 {"description":"Late"})",
          "GET /api/{user}/schedules/1"}},
        {"Status 404 to a schedule deletion",
         {"schedule", "--id=1", "--delete"},
         "DELETE",
         "/api/{user}/schedules/1",
         "answers 404",
         status(404),
         "HTTP 404 Not Found\n",
         {"GET /api/{user}/schedules", "DELETE /api/{user}/schedules/1"}},
    };
}

// A reply that is not HTTP, or whose connection breaks.
struct RawCase {
    const char* what;
    std::vector<std::string> args;
    const char* fault_text;
    std::string reply;
    RawTcpServer::Ending ending;
    const char* output;
};

constexpr const char* kPartialReply =
    "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 1000\r\n\r\n"
    R"({"1":{"name":"Ha)";

std::vector<RawCase> raw_cases() {
    using Ending = RawTcpServer::Ending;
    return {
        {"Reply is not HTTP",
         {"lights"},
         "the bridge answers `SSH-2.0-OpenSSH` and closes",
         "SSH-2.0-OpenSSH\r\n",
         Ending::close,
         "Failed to read HTTP status line\n"},
        {"Connection closed before any reply",
         {"config"},
         "the bridge closes the connection at once",
         "",
         Ending::close,
         "Failed to read HTTP status line\n"},
        {"Connection reset before any reply",
         {"state"},
         "the bridge resets the connection at once",
         "",
         Ending::reset,
         "Failed to read HTTP status line\n"},
        {"Connection reset mid-body",
         {"lights"},
         "the bridge sends 16 of 1000 body bytes, then resets",
         kPartialReply,
         Ending::reset,
         "Failed to read response body\n"},
        {"Connection closed mid-body",
         {"groups"},
         "the bridge sends 16 of 1000 body bytes, then closes",
         kPartialReply,
         Ending::close,
         "Failed to read response body\n"},
        {"Body without a length, past 4 MiB",
         {"schedules"},
         "the bridge sends 5 MiB of blanks without Content-Length",
         "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n\r\n" +
             std::string(5u << 20, ' '),
         Ending::close,
         "Error: the reply is larger than 4 MiB.\n"},
    };
}

std::string step_text(const char* method, const char* path) {
    std::string text = std::string(method) + " " + path;
    return "`" + text + "`";
}

class ReplyFaults : public TestingSupport::SimFixture {
protected:
    void run_cases(const std::vector<ReplyCase>& cases) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            start(kFixture, c.whitelisted);
            if (c.names_only) bridge().set_listings(Sim::Listings::names);
            bridge().set_fault(c.method, expand(c.path), c.fault);
            const RunResult result = run(c.args, {{"GLOWRIG_FIND_WAIT_MS", "0"}});
            expect_run(result, expand(c.output), 1, expand(c.errors));
            EXPECT_EQ(expanded(c.requests), request_lines());
        }
    }
};

TEST_F(ReplyFaults, BadBodiesFailAtTheirStep) { run_cases(body_cases()); }

TEST_F(ReplyFaults, StatusesOtherThan200FailAtTheirStep) { run_cases(status_cases()); }

TEST_F(ReplyFaults, BrokenConnectionsFailTheFirstStep) {
    for (const auto& c : raw_cases()) {
        SCOPED_TRACE(c.what);
        RawTcpServer server(c.reply, c.ending);
        const RunResult result = run_plain([&] {
            auto args = c.args;
            args.push_back("--bridge=" + server.address());
            return args;
        }());
        expect_run(result, c.output, 1);
        ASSERT_EQ(1u, server.request_lines().size());
    }
}

constexpr const char* kHugeOutput = "Error: the reply is larger than 4 MiB.\n";

// A 50 MB body of small numbers, whose JSON tree would take gigabytes: refused
// unread, in bounded time.
TEST_F(ReplyFaults, AHugeBodyIsRefusedInBoundedTime) {
    start(kFixture);
    std::string huge = "[";
    huge.reserve(50u << 20);
    while (huge.size() < (50u << 20)) huge += "0,";
    huge += "0]";
    bridge().set_fault("GET", expand("/api/{user}/lights"), body(huge));
    const auto started = std::chrono::steady_clock::now();
    const RunResult result = run({"lights"});
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    expect_run(result, kHugeOutput, 1);
    EXPECT_EQ(expand("GET /api/{user}/lights"), request_lines().at(0));
}

// A peer that misbehaves on purpose, as a bridge (--bridge) or as the portal.
struct HostileCase {
    const char* what;
    std::vector<std::string> args;
    bool portal;  // the peer is the portal (GLOWRIG_PORTAL) rather than the bridge
    const char* fault_text;
    std::string reply;
    RawTcpServer::Sequel sequel;
    const char* output;
    int status;
    std::chrono::milliseconds bound;  // the run ends sooner, whatever the peer does
    // The peer is the simulated bridge's plain HTTP port, named with https://
    // (the reply and sequel are unused; "{address}" in the output is its address).
    bool simulator = false;
};

// What `bridges` prints when no source finds a bridge: a portal that fails
// leaves the table empty.
constexpr const char* kNoBridgesTable =
    "Local Bridges\n\nId                  IP Address     \tMAC Address\n";

// The request time-out and the search window of the hostile runs.
const Environment kHostileLimits = {{"GLOWRIG_TIMEOUT_MS", "1000"},
                                    {"GLOWRIG_SSDP_WINDOW_MS", "300"}};

std::vector<HostileCase> hostile_cases() {
    using namespace std::chrono_literals;
    const std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1\r\n[\r\n";
    const RawTcpServer::Sequel trickle{"", "1\r\n \r\n", 200ms};
    return {
        {"Chunked body trickled by a bridge",
         {"config"},
         false,
         "the bridge sends a chunked body one byte every 200 ms (time-out 1 s)",
         chunked,
         trickle,
         "Failed to read response body\n",
         1,
         3000ms},
        {"Chunked body trickled by the portal",
         {"bridges"},
         true,
         "the portal sends a chunked body one byte every 200 ms (window 300 ms)",
         chunked,
         trickle,
         kNoBridgesTable,
         0,
         2300ms},  // the window and two seconds
        {"Endless header line",
         {"config"},
         false,
         "the bridge answers `200` and a header line that never ends",
         "HTTP/1.1 200 OK\r\nX-Endless: ",
         {"", std::string(64 * 1024, 'a'), 0ms},
         "Error: the reply's header is larger than 64 KiB.\n",
         1,
         3000ms},
        {"Redirect from a bridge",
         {"lights"},
         false,
         "the bridge answers `302 Found` to 127.0.0.1:9",
         "HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:9/api\r\nContent-Length: 0\r\n\r\n",
         {},
         "HTTP 302 Found\n",
         1,
         3000ms},
        {"Redirect from the portal to a host name",
         {"bridges"},
         true,
         "the portal answers `302 Found` to http://bridge.invalid/",
         "HTTP/1.1 302 Found\r\nLocation: http://bridge.invalid/\r\nContent-Length: 0\r\n\r\n",
         {},
         kNoBridgesTable,
         0,
         3000ms},
        {"Header and body in two segments",
         {"lights"},
         false,
         "the bridge writes the header, then after 100 ms the body `{}`",
         "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n",
         {"{}", "", 100ms},
         "Lights:\n",
         0,
         3000ms},
        {"Controls in the reason phrase",
         {"lights"},
         false,
         "the bridge answers `500 Oops` with C1 CSI `\\u009b2J` and the byte 0xFF",
         "HTTP/1.1 500 Oops \xC2\x9B"
         "2J \xFF\r\nContent-Length: 0\r\n\r\n",
         {},
         "HTTP 500 Oops \xEF\xBF\xBD"
         "2J \xEF\xBF\xBD\n",
         1,
         3000ms},
        {"TLS greeting to a plain HTTP port",
         {"lights"},
         false,
         "`--bridge=https://{address}` names the simulated bridge's plain HTTP port, which "
         "answers the TLS greeting with `400 Bad Request` and closes (time-out 1 s)",
         "",
         {},
         "Error: the TLS handshake with {address} failed.\n",
         1,
         3000ms,
         true},
    };
}

// Every case runs at once, each with a peer of its own: together they take
// about as long as the slowest.
TEST_F(ReplyFaults, HostilePeersEndWithOneLineInBoundedTime) {
    const auto cases = hostile_cases();
    std::vector<std::unique_ptr<RawTcpServer>> peers;
    std::vector<std::future<std::pair<RunResult, std::chrono::steady_clock::duration>>> runs;
    for (const auto& c : cases) {
        auto env = kHostileLimits;
        auto args = c.args;
        if (c.simulator) {
            start(kFixture);
            peers.push_back(nullptr);
            args.push_back("--bridge=https://" + address());
        } else {
            peers.push_back(
                std::make_unique<RawTcpServer>(c.reply, RawTcpServer::Ending::close, c.sequel));
            if (c.portal) {
                env["GLOWRIG_PORTAL"] = peers.back()->address();
            } else {
                args.push_back("--bridge=" + peers.back()->address());
            }
        }
        runs.push_back(std::async(std::launch::async, [this, args, env] {
            const auto started = std::chrono::steady_clock::now();
            RunResult result = run_plain(args, env);
            return std::make_pair(std::move(result), std::chrono::steady_clock::now() - started);
        }));
    }
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].what);
        const auto [result, took] = runs[i].get();
        expect_run(result, expand(cases[i].output), cases[i].status);
        EXPECT_LT(took, cases[i].bound);
        if (peers[i]) {
            EXPECT_EQ(1u, peers[i]->request_lines().size());
        } else {
            EXPECT_TRUE(request_lines().empty());  // no request got through
        }
    }
}

// Names and states from the network print with their controls replaced.
TEST_F(ReplyFaults, ControlsFromTheNetworkArePrintedReplaced) {
    start(kFixture);
    bridge().set_fault(
        "GET", expand("/api/{user}/lights"),
        body(R"({"1":{"name":"\u001b]0;title\u0007\u001b[2J\u009b\u0000x","modelid":"M\u007f",)"
             R"("swversion":"1","state":{"on":true,"bri":1,"alert":"none","effect":"none",)"
             R"("colormode":"ct","ct":300,"reachable":true}}})"));
    const RunResult result = run({"lights"});
    EXPECT_EQ(0, result.status);
    const std::string r = "\xEF\xBF\xBD";
    EXPECT_NE(std::string::npos,
              result.output.find("  Name:                    " + r + "]0;title" + r + r + "[2J" +
                                 r + r + "x\n  ModelId:                 M" + r + "\n"))
        << result.output;
}

// The one slow test: the request time-out ends a bridge reply that never
// comes, and a portal that never answers is given up a second after the
// search window, with the request time-out at its default of 30 s (both runs
// side by side).
TEST_F(ReplyFaults, AReplyThatNeverComesEndsAtTheTimeOut) {
    start(kFixture);
    // The request time-out is a setting: one second here, against replies
    // held back longer than that.
    const Sim::Fault never{200, "", std::nullopt, 2500};
    bridge().set_fault("GET", expand("/api/{user}/lights"), never);
    bridge().set_fault("GET", "/api/nupnp", never);
    const auto started = std::chrono::steady_clock::now();
    auto from_portal = std::async(std::launch::async, [this] {
        return run_plain({"lights"},
                         {{"GLOWRIG_PORTAL", address()}, {"GLOWRIG_SSDP_WINDOW_MS", "100"}});
    });
    const RunResult from_bridge = run({"lights"}, {{"GLOWRIG_TIMEOUT_MS", "1000"}});
    const RunResult portal_result = from_portal.get();
    const auto took = std::chrono::steady_clock::now() - started;
    expect_run(from_bridge, expand("Error: {address} did not answer within 1 s.\n"), 1);
    expect_run(portal_result, kHungPortalOutput, 1);
    EXPECT_GT(took, std::chrono::milliseconds(900));
    EXPECT_LT(took, std::chrono::milliseconds(2400));
}

}  // namespace

std::vector<FaultRow> reply_fault_rows() {
    std::vector<FaultRow> rows;
    for (const auto& cases : {body_cases(), status_cases()}) {
        for (const auto& c : cases) {
            rows.push_back({c.what,
                            command_text(c.args) +
                                (c.names_only ? " (listings of names only, as old firmware)" : "") +
                                ", " + step_text(c.method, c.path) + " " + c.fault_text,
                            c.output, 1, c.errors});
        }
    }
    for (const auto& c : raw_cases()) {
        rows.push_back({c.what, command_text(c.args) + ", " + c.fault_text, c.output, 1});
    }
    for (const auto& c : hostile_cases()) {
        rows.push_back({c.what, command_text(c.args) + ", " + c.fault_text, c.output, c.status});
    }
    rows.push_back({"A 50 MB body",
                    command_text({"lights"}) + ", " + step_text("GET", "/api/{user}/lights") +
                        " answers 50 MB of `[0,0,...]`",
                    kHugeOutput, 1});
    rows.push_back({"A reply that never comes",
                    command_text({"lights"}) + ", " + step_text("GET", "/api/{user}/lights") +
                        " never answers (after 30 s)",
                    "Error: ADDRESS did not answer within 30 s.\n", 1});
    return rows;
}

}  // namespace Faults
