#include "http/exchange.hpp"

#include <chrono>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <boost/asio/io_context.hpp>
#include <gtest/gtest.h>

#include "json/parse.hpp"
#include "sim/server.hpp"
#include "sim/sim_bridge.hpp"
#include "support/raw_tcp_server.hpp"

namespace Http {
namespace {

constexpr const char* kFixture =
    R"({"state":{"config":{"name":"Lab","bridgeid":"ECB5FAFFFE0A62C3","whitelist":{"u":{}}},)"
    R"("lights":{"1":{"name":"Desk","state":{"on":false}}}}})";

// One bridge served plain and over TLS by one simulator.
class ExchangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        close_idle_connections();
        m_bridge = std::make_shared<Sim::SimBridge>(Json::parse(kFixture));
        m_plain = m_server.add("127.0.0.1", 0, m_bridge);
        m_tls = m_server.add("127.0.0.1", 0, m_bridge, Sim::Transport::tls);
        m_server.open();
    }
    void TearDown() override { close_idle_connections(); }

    Endpoint at(Scheme scheme, const std::string& target) const {
        const auto index = scheme == Scheme::Https ? m_tls : m_plain;
        return Endpoint{scheme, "127.0.0.1", m_server.port(index), target};
    }

    // The connection numbers of the requests the bridge received, in order.
    std::vector<int> connections() const {
        std::vector<int> numbers;
        for (const auto& r : m_bridge->requests()) numbers.push_back(r.connection);
        return numbers;
    }

    std::shared_ptr<Sim::SimBridge> m_bridge;
    Sim::Server m_server;
    std::size_t m_plain = 0;
    std::size_t m_tls = 0;
    Options m_options;
};

const Scheme kSchemes[] = {Scheme::Http, Scheme::Https};

TEST_F(ExchangeTest, RequestsToOneBridgeShareOneConnection) {
    for (const Scheme scheme : kSchemes) {
        SCOPED_TRACE(scheme == Scheme::Https ? "https" : "http");
        m_bridge->clear_requests();
        exchange(at(scheme, "/api/u/lights"), Method::Get, "", m_options);
        exchange(at(scheme, "/api/u/lights/1/state"), Method::Put, R"({"on":true})", m_options);
        const std::string light =
            exchange(at(scheme, "/api/u/lights/1"), Method::Get, "", m_options);
        EXPECT_NE(std::string::npos, light.find(R"("on":true)"));
        const auto used = connections();
        ASSERT_EQ(3u, used.size());
        EXPECT_EQ(1u, std::set<int>(used.begin(), used.end()).size());
    }
}

TEST_F(ExchangeTest, AClosedPortFailsWithTheAddressAndTheCause) {
    const Endpoint closed{Scheme::Http, "127.0.0.1", m_server.port(m_plain), "/api/u/config"};
    m_server.close();
    try {
        exchange(closed, Method::Get, "", m_options);
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(FailureKind::connect, failure.kind());
        EXPECT_EQ("Error: cannot connect to 127.0.0.1:" + std::to_string(closed.port) +
                      ": connection refused.",
                  std::string(failure.what()));
    }
}

TEST_F(ExchangeTest, AConnectionThePeerClosedIsReopenedOnce) {
    exchange(at(Scheme::Https, "/api/u/config"), Method::Get, "", m_options);
    m_server.renew_certificate(m_tls);  // closes the kept connection
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    exchange(at(Scheme::Https, "/api/u/lights/1/state"), Method::Put, R"({"on":true})", m_options);
    const auto used = connections();
    ASSERT_EQ(2u, used.size());
    EXPECT_NE(used[0], used[1]);
}

TEST_F(ExchangeTest, TheCheckSeesThePeersCertificateBeforeAnythingIsWritten) {
    Certificate seen;
    m_options.check = [&seen](const Certificate& c) -> std::optional<std::string> {
        seen = c;
        return std::string("refused");
    };
    try {
        exchange(at(Scheme::Https, "/api/u/config"), Method::Get, "", m_options);
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(FailureKind::certificate, failure.kind());
        EXPECT_STREQ("refused", failure.what());
    }
    EXPECT_EQ("ecb5fafffe0a62c3", seen.common_name);
    EXPECT_EQ(m_server.fingerprint(m_tls), seen.sha256);
    EXPECT_EQ(95u, seen.sha256.size());
    EXPECT_TRUE(m_bridge->requests().empty());
}

TEST_F(ExchangeTest, AChainNotFromTheNamedAuthoritiesFailsTheHandshake) {
    m_options.ca_file = std::string(GLOWRIG_TEST_DATA) + "/no-such-file.pem";
    EXPECT_THROW(exchange(at(Scheme::Https, "/api/u/config"), Method::Get, "", m_options), Failure);
    EXPECT_TRUE(m_bridge->requests().empty());
}

TEST_F(ExchangeTest, RefusedRequestsAreSentAgainWithinTheDeadline) {
    struct Case {
        const char* what;
        int status;
        int refusals;
        const char* retry_after;
        Method method;
        std::size_t sent;     // requests the bridge received
        const char* failure;  // nullptr: the last one succeeded
    } cases[] = {
        {"429 once, Retry-After 0", 429, 1, "0", Method::Get, 2, nullptr},
        {"503 twice, Retry-After 0", 503, 2, "0", Method::Get, 3, nullptr},
        {"a write refused once", 429, 1, "0", Method::Put, 2, nullptr},
        {"429 three times", 429, 3, "0", Method::Get, 3, "HTTP 429 Too Many Requests"},
        {"a wait past the deadline", 503, 1, "4", Method::Get, 1, "HTTP 503 Service Unavailable"},
    };
    m_options.timeout = std::chrono::milliseconds(2000);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_bridge->clear_requests();
        const bool write = c.method == Method::Put;
        const std::string path = write ? "/api/u/lights/1/state" : "/api/u/config";
        m_bridge->refuse(write ? "PUT" : "GET", path, c.status, c.refusals, c.retry_after);
        const auto started = std::chrono::steady_clock::now();
        try {
            exchange(at(Scheme::Http, path), c.method, write ? R"({"on":true})" : "", m_options);
            EXPECT_EQ(nullptr, c.failure);
        } catch (const Failure& failure) {
            ASSERT_NE(nullptr, c.failure) << failure.what();
            EXPECT_STREQ(c.failure, failure.what());
        }
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1000));
        EXPECT_EQ(c.sent, m_bridge->requests().size());
        m_bridge->clear_requests();
    }
}

// The bytes of each kind of request: a PUT or POST states its length even
// without a body, a GET or DELETE only with one.
TEST(ExchangeRequest, GoesOutAsWritten) {
    struct Case {
        Method method;
        const char* body;
        const char* sent;  // after the request line's method and target
    } cases[] = {
        {Method::Get, "", " HTTP/1.1\r\nHost: H\r\n\r\n"},
        {Method::Delete, "", " HTTP/1.1\r\nHost: H\r\n\r\n"},
        {Method::Put, "", " HTTP/1.1\r\nHost: H\r\nContent-Length: 0\r\n\r\n"},
        {Method::Post, "", " HTTP/1.1\r\nHost: H\r\nContent-Length: 0\r\n\r\n"},
        {Method::Put, R"({"on":true})",
         " HTTP/1.1\r\nHost: H\r\nContent-Type: application/json\r\n"
         "Content-Length: 11\r\n\r\n{\"on\":true}"},
        {Method::Delete, "{}",
         " HTTP/1.1\r\nHost: H\r\nContent-Type: application/json\r\n"
         "Content-Length: 2\r\n\r\n{}"},
    };
    const char* names[] = {"GET", "PUT", "POST", "DELETE"};
    // `target` on a peer that answers every request with an empty object.
    const auto at = [](const TestingSupport::RawTcpServer& peer, const char* target) {
        const auto port = peer.address().substr(peer.address().find(':') + 1);
        return Endpoint{Scheme::Http, "127.0.0.1", static_cast<unsigned short>(std::stoi(port)),
                        target};
    };
    const std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n{}";
    for (const auto& c : cases) {
        close_idle_connections();
        TestingSupport::RawTcpServer peer(reply, TestingSupport::RawTcpServer::Ending::close);
        exchange(at(peer, "/api/u/lights/1"), c.method, c.body, Options{});
        std::string expected =
            std::string(names[static_cast<int>(c.method)]) + " /api/u/lights/1" + c.sent;
        expected.replace(expected.find("Host: H"), 7, "Host: " + peer.address());
        ASSERT_EQ(1u, peer.requests().size());
        EXPECT_EQ(expected, peer.requests()[0]);
    }
    close_idle_connections();
    // A fetch has a connection of its own and asks the peer to close it.
    TestingSupport::RawTcpServer peer(reply, TestingSupport::RawTcpServer::Ending::close);
    boost::asio::io_context io;
    std::optional<std::string> body;
    fetch(io, at(peer, "/description.xml"), std::chrono::milliseconds(2000), 100,
          [&](std::optional<std::string> got) { body = got; });
    io.run();
    EXPECT_EQ("{}", body.value_or("none"));
    ASSERT_EQ(1u, peer.requests().size());
    EXPECT_EQ("GET /description.xml HTTP/1.1\r\nHost: " + peer.address() +
                  "\r\nConnection: close\r\n\r\n",
              peer.requests()[0]);
}

TEST_F(ExchangeTest, ARefusalWithoutRetryAfterWaitsASecond) {
    m_bridge->refuse("GET", "/api/u/config", 429, 1, "soon");
    const auto started = std::chrono::steady_clock::now();
    exchange(at(Scheme::Https, "/api/u/config"), Method::Get, "", m_options);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_GE(took, std::chrono::milliseconds(1000));
    EXPECT_LT(took, std::chrono::milliseconds(1800));
    EXPECT_EQ(2u, m_bridge->requests().size());
}

}  // namespace
}  // namespace Http
