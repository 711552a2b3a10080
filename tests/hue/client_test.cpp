#include "hue/client.hpp"

#include <chrono>
#include <memory>
#include <stdexcept>

#include <gtest/gtest.h>

#include "hue/bridge.hpp"
#include "hue/bridge_error.hpp"
#include "json/parse.hpp"
#include "sim/server.hpp"
#include "sim/sim_bridge.hpp"
#include "support/sim_fixture.hpp"

namespace Hue {
namespace {

const Http::Options kConfig;

std::string url_of(const Client& client) { return Http::url_text(client.base()); }

// A user name that would not stay a URL path (a blank, a non-ASCII byte, a
// query or fragment mark) fails before anything is sent.
TEST(BridgeUrls, APathThatFormsNoUrlIsRefused) {
    const struct {
        const char* user;
        const char* failure;  // nullptr: accepted
    } cases[] = {
        {"a b", "provided uri is invalid: http://192.0.2.7/api/a b/lights"},
        {"caf\xc3\xa9", "provided uri is invalid: http://192.0.2.7/api/caf\xc3\xa9/lights"},
        {"a?b", "provided uri is invalid: http://192.0.2.7/api/a?b/lights"},
        {"a#b", "provided uri is invalid: http://192.0.2.7/api/a#b/lights"},
        {"[x]", "provided uri is invalid: http://192.0.2.7/api/[x]/lights"},
        {"x:y@z!$&'()*+,;=~%41", nullptr},
    };
    const Bridge bridge("", {.host = "192.0.2.7"});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.user);
        try {
            const Client client = bridge.make_client({"glowrig", c.user}, "lights", kConfig);
            EXPECT_EQ(nullptr, c.failure) << url_of(client);
        } catch (const std::invalid_argument& e) {
            EXPECT_STREQ(c.failure, e.what());
        }
    }
}

TEST(BridgeAddressReading, AcceptsNumericAddressesWithOptionalPorts) {
    struct Case {
        const char* text;
        const char* ip;  // nullptr: refused
        unsigned short port;
    } cases[] = {
        {"192.0.2.1", "192.0.2.1", 80},
        {"192.0.2.1:8080", "192.0.2.1", 8080},
        {"192.0.2.1:65535", "192.0.2.1", 65535},
        {"::1", "::1", 80},
        {"[::1]:8080", "::1", 8080},
        {"[0:0::1]:1", "::1", 1},
        {"::1:80", "::0.1.0.128", 80},  // all of a bare IPv6 text is the address
        {"host", nullptr, 0},
        {"host:80", nullptr, 0},
        {"1.2.3.4:0", nullptr, 0},
        {"1.2.3.4:65536", nullptr, 0},
        {"1.2.3.4:", nullptr, 0},
        {"1.2.3.4:+80", nullptr, 0},
        {"1.2.3.4:000080", nullptr, 0},
        {"[::1]", nullptr, 0},
        {"[::1]:", nullptr, 0},
        {"[1.2.3.4]:80", nullptr, 0},
        {"::1]:80", nullptr, 0},
        {"", nullptr, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto address = Http::read_endpoint(c.text, kBridgeAddress);
        ASSERT_EQ(c.ip != nullptr, address.has_value());
        if (!address) continue;
        EXPECT_EQ(c.ip, address->host);
        EXPECT_EQ(c.port, address->port);
        EXPECT_TRUE(Http::Scheme::Http == address->scheme);
        const auto again = Http::read_endpoint(bridge_text(*address), kBridgeAddress);
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(address->host, again->host);
        EXPECT_EQ(address->port, again->port);
        EXPECT_TRUE(address->scheme == again->scheme);
    }
}

TEST(PathSegment, EncodesEverythingThatCouldLeaveTheSegment) {
    const struct {
        const char* id;
        const char* segment;
    } cases[] = {
        {"3", "3"},
        {"abc-_.~XYZ", "abc-_.~XYZ"},
        {"1/../../config", "1%2F..%2F..%2Fconfig"},
        {"a?b#c%d e", "a%3Fb%23c%25d%20e"},
        {".", "%2E"},
        {"..", "%2E%2E"},
        {"...", "..."},
        {"caf\u00e9", "caf%C3%A9"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(std::string(c.segment), path_segment(c.id));
    }
}

TEST(RejectErrors, PassesEverythingButAnErrorElement) {
    for (const char* text : {"[]", R"({"error":{"type":1}})", R"([{"success":{"/x":1}}])", "3"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Json::parse(text), reject_errors(Json::parse(text)));
    }
}

TEST(RejectErrors, FailsWithTheFirstErrorElementAsJsonText) {
    const char* text =
        R"([{"success":{"/x":1}},{"error":{"type":7,"address":"/a","description":"caf\u00e9"}},)"
        R"({"error":{"type":1}}])";
    try {
        reject_errors(Json::parse(text));
        FAIL() << "no failure";
    } catch (const BridgeError& e) {
        // Members in name order.
        EXPECT_STREQ("{\"error\":{\"address\":\"/a\",\"description\":\"caf\xc3\xa9\",\"type\":7}}",
                     e.what());
        EXPECT_EQ(7, e.type());
        EXPECT_EQ("/a", e.address());
    }
}

class ClientTest : public TestingSupport::SimFixture {
protected:
    void SetUp() override { start(R"({"state":{"lights":{}}})"); }

    Client lights() const {
        return Bridge("", {.host = ip(), .port = port()})
            .make_client(AppIdentity{"glowrig", user()}, "lights", kConfig);
    }

    std::string lights_path() const { return "/api/" + user() + "/lights"; }

    // The reply to GET lights after read_json_strict, or after read_json
    // alone.
    Json::Value read(bool strict) const {
        const std::string reply = lights().send(Http::Method::Get);
        return strict ? read_json_strict(reply) : read_json(reply);
    }

    // The message of the failure of read(strict).
    std::string failure_of(bool strict) const {
        try {
            read(strict);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "no failure";
    }
};

TEST_F(ClientTest, FailuresOfTheReplyAreReportedWithTheirOwnText) {
    const struct {
        int status;
        const char* reason;
        const char* body;
        bool strict;
        const char* message;
    } cases[] = {
        {404, "", R"([{"success":{}}])", false, "HTTP 404 Not Found"},
        {500, "Broken", "{}", true, "HTTP 500 Broken"},
        {200, "", "not json", false, "Error: the bridge's reply is not JSON (line 1, column 2)."},
        {200, "", R"([{"success":{"/a":1}},{"error":{"type":3}}])", true,
         R"({"error":{"type":3}})"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Sim::Fault fault;
        fault.status = c.status;
        fault.reason = c.reason;
        fault.body = c.body;
        bridge().set_fault("GET", lights_path(), fault);
        EXPECT_EQ(c.message, failure_of(c.strict));
    }
}

TEST_F(ClientTest, RepliesPassWhateverTheirContentType) {
    const struct {
        const char* body;
        bool strict;
    } cases[] = {{"[]", true}, {R"({"error":{"type":1}})", true}, {R"([{"error":{}}])", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        Sim::Fault fault;
        fault.body = c.body;
        bridge().set_fault("GET", lights_path(), fault);
        EXPECT_EQ(Json::parse(c.body), read(c.strict));
    }
}

TEST_F(ClientTest, SendsMethodPathAndJsonBody) {
    lights().send(Http::Method::Put, "new", R"({"name":"Desk"})");
    lights().send(Http::Method::Delete, path_segment("1/.."));
    lights().send(Http::Method::Post);
    const std::vector<std::string> expected = {
        "PUT " + lights_path() + "/new {\"name\":\"Desk\"}",
        "DELETE " + lights_path() + "/1%2F..",
        "POST " + lights_path(),
    };
    EXPECT_EQ(expected, request_lines());
}

// A bridge that writes each reply's header and body in two segments with
// Nagle's algorithm on holds the body until the header is acknowledged: a
// client that delays its acknowledgements would wait about 40 ms per reply.
TEST(ClientConnection, RepliesSplitInTwoSegmentsCostNoDelayedAcknowledgement) {
    Sim::Server server;
    server.split_replies();
    server.add("127.0.0.1", 0, std::make_shared<Sim::SimBridge>(Json::parse(R"({"state":{}})")));
    server.open();
    const Client client(
        resource_endpoint(Http::Endpoint{Http::Scheme::Http, "127.0.0.1", server.port(0)},
                          "api/x/lights"),
        kConfig);
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < 20; ++i) client.send(Http::Method::Get);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(600));
}

TEST(ClientConnection, RefusedConnectionFails) {
    const Client client(
        resource_endpoint(Http::Endpoint{Http::Scheme::Http, "127.0.0.1", 9}, "api/x/lights"),
        kConfig);
    EXPECT_THROW(client.send(Http::Method::Get), Http::Failure);
}

}  // namespace
}  // namespace Hue
