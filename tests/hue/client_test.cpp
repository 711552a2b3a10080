#include "hue/client.hpp"

#include <chrono>
#include <memory>

#include <cpprest/details/web_utilities.h>
#include <cpprest/http_msg.h>
#include <gtest/gtest.h>

#include "hue/bridge.hpp"
#include "hue/text.hpp"
#include "json/parse.hpp"
#include "sim/server.hpp"
#include "sim/sim_bridge.hpp"
#include "support/sim_fixture.hpp"

namespace Hue {
namespace {

using web::json::value;

const Hue::ClientConfig kProxy;

TEST(BridgeUrls, ResourceClientsFollowTheUserAndResource) {
    const Bridge bridge("", "192.0.2.7", "");
    const AppIdentity identity{"glowrig", "hostroot"};
    EXPECT_EQ("http://192.0.2.7/api/hostroot/lights",
              bridge.make_client(identity, "lights", kProxy).base_uri().to_string());
    EXPECT_EQ("http://192.0.2.7/api/hostroot",
              bridge.make_client(identity, "", kProxy).base_uri().to_string());
    EXPECT_EQ(
        "http://192.0.2.7/api",
        bridge.make_client(identity, "config", kProxy).with_path("api").base_uri().to_string());
    EXPECT_EQ("http://[::1]/api/hostroot/config",
              Bridge("", "::1", "").make_client(identity, "config", kProxy).base_uri().to_string());
    // Another port goes into every URL, the whitelist's included.
    const Client at_port = Bridge("", "192.0.2.7", "", 8080).make_client(identity, "", kProxy);
    EXPECT_EQ("http://192.0.2.7:8080/api/hostroot", at_port.base_uri().to_string());
    EXPECT_EQ("http://192.0.2.7:8080/api", at_port.with_path("api").base_uri().to_string());
    const Client v6 = Bridge("", "::1", "", 8080).make_client(identity, "config", kProxy);
    EXPECT_EQ("http://[::1]:8080/api", v6.with_path("api").base_uri().to_string());
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
        const auto address = parse_bridge_address(c.text);
        ASSERT_EQ(c.ip != nullptr, address.has_value());
        if (!address) continue;
        EXPECT_EQ(c.ip, address->ip);
        EXPECT_EQ(c.port, address->port);
        EXPECT_EQ(address, parse_bridge_address(address_text(address->ip, address->port)));
    }
}

TEST(BridgeValue, DefaultAndCopiesShareOneRecord) {
    const Bridge empty;
    EXPECT_EQ("", empty.id());
    EXPECT_EQ("", empty.ip());
    EXPECT_EQ("", empty.mac());
    const Bridge one("id1", "10.0.0.2", "00:17");
    const Bridge copy = one;
    EXPECT_EQ("id1", copy.id());
    EXPECT_EQ("10.0.0.2", copy.ip());
    EXPECT_EQ("00:17", copy.mac());
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

web::json::value json_of(const char* text) { return value::parse(text); }

TEST(RejectErrors, PassesEverythingButAnErrorElement) {
    for (const char* text : {"[]", R"({"error":{"type":1}})", R"([{"success":{"/x":1}}])", "3"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(json_of(text), reject_errors(pplx::task_from_result(json_of(text))));
    }
}

TEST(RejectErrors, FailsWithTheFirstErrorElementSerialised) {
    const char* text =
        R"([{"success":{"/x":1}},{"error":{"type":7,"description":"caf\u00e9"}},{"error":{"type":1}}])";
    try {
        reject_errors(pplx::task_from_result(json_of(text)));
        FAIL() << "no failure";
    } catch (const std::runtime_error& e) {
        // The library keeps object members sorted by key.
        EXPECT_STREQ("{\"error\":{\"description\":\"caf\xc3\xa9\",\"type\":7}}", e.what());
    }
}

TEST(NothingToSend, IsAlreadyDone) { EXPECT_TRUE(nothing_to_send().is_done()); }

class ClientTest : public TestingSupport::SimFixture {
protected:
    void SetUp() override { start(R"({"state":{"lights":{}}})"); }

    Client lights() const {
        return Bridge("", ip(), "", port())
            .make_client(AppIdentity{"glowrig", user()}, "lights", kProxy);
    }

    std::string lights_path() const { return "/api/" + user() + "/lights"; }

    // The message of the failure `task` ends with.
    static std::string failure_of(pplx::task<value> task) {
        try {
            task.get();
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
        {200, "", "not json", false, "* Line 1, Column 2 Syntax error: Malformed literal"},
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
        auto reply = c.strict ? lights().read_strict(Method::Get) : lights().read(Method::Get);
        EXPECT_EQ(c.message, failure_of(reply));
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
        auto reply = c.strict ? lights().read_strict(Method::Get) : lights().read(Method::Get);
        EXPECT_EQ(value::parse(c.body), reply.get());
    }
}

// read_strict and the checked requests run their checks in the reading step.
TEST_F(ClientTest, ACheckSeesTheParsedReplyAndItsExceptionEndsTheRead) {
    const std::string body = R"({"a":[1,{"b":null}]})";
    Sim::Fault fault;
    fault.body = body;
    bridge().set_fault("GET", lights_path(), fault);
    value seen;
    const auto keep = [&seen](const value& reply) { seen = reply; };
    EXPECT_EQ(value::parse(body), lights().read(Method::Get, "", value(), keep).get());
    EXPECT_EQ(value::parse(body), seen);
    const auto refuse = [](const value&) { throw std::runtime_error("refused"); };
    EXPECT_EQ("refused", failure_of(lights().read(Method::Get, "", value(), refuse)));
    // read_into hands the reply on in the same step and yields nothing.
    value used;
    lights().read_into(Method::Get, "", [&used](const value& reply) { used = reply; }).get();
    EXPECT_EQ(value::parse(body), used);
    EXPECT_THROW(lights().read_into(Method::Get, "", refuse).get(), std::runtime_error);

    // A reply that is no JSON, or not a 200, never reaches the check.
    for (int status : {200, 404}) {
        SCOPED_TRACE(status);
        fault.status = status;
        fault.body = status == 200 ? "not json" : "{}";
        bridge().set_fault("GET", lights_path(), fault);
        bool checked = false;
        failure_of(
            lights().read(Method::Get, "", value(), [&checked](const value&) { checked = true; }));
        EXPECT_FALSE(checked);
    }
}

TEST_F(ClientTest, SendsMethodPathAndJsonBody) {
    value body = value::object();
    body["name"] = value::string("Desk");
    lights().read(Method::Put, "new", body).wait();
    lights().read(Method::Delete, path_segment("1/..")).wait();
    lights().read(Method::Post).wait();
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
    const Client client(http_url("127.0.0.1", "api/x/lights", server.port(0)), kProxy);
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < 20; ++i) client.read(Method::Get).get();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(600));
}

TEST(ClientConnection, RefusedConnectionFails) {
    const Client client(web::uri("http://127.0.0.1:9/api/x/lights"), kProxy);
    EXPECT_THROW(client.read(Method::Get).get(), Http::Failure);
}

}  // namespace
}  // namespace Hue
