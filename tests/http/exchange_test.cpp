#include "http/exchange.hpp"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <boost/asio/io_context.hpp>
#include <gtest/gtest.h>

#include "json/parse.hpp"
#include "sim/server.hpp"
#include "sim/sim_bridge.hpp"

namespace Http {
namespace {

constexpr const char* kFixture =
    R"({"state":{"config":{"name":"Lab","bridgeid":"ECB5FAFFFE0A62C3","whitelist":{"u":{}}},)"
    R"("lights":{"1":{"name":"Desk","state":{"on":false}}}}})";

// One bridge served plain and over TLS by one simulator.
class ExchangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_bridge = std::make_shared<Sim::SimBridge>(Json::parse(kFixture));
        m_plain = m_server.add("127.0.0.1", 0, m_bridge);
        m_tls = m_server.add("127.0.0.1", 0, m_bridge, Sim::Transport::tls);
        m_server.open();
    }
    Endpoint at(Scheme scheme, const std::string& target) const {
        const auto index = scheme == Scheme::Https ? m_tls : m_plain;
        return Endpoint{scheme, "127.0.0.1", m_server.port(index), target};
    }

    // As exchange(), but run by start_exchange on an io_context in this
    // thread; fails the test unless it ends exactly once.
    static std::string exchange_on_io(const Endpoint& endpoint, Method method,
                                      const std::string& body, const Options& options) {
        boost::asio::io_context io;
        std::optional<Ending> ending;
        start_exchange(io, endpoint, method, body, options, [&](Ending ended) {
            EXPECT_FALSE(ending) << "ended twice";
            ending = std::move(ended);
        });
        io.run();
        if (!ending) throw std::logic_error("never ended");
        if (ending->failure) throw *ending->failure;
        return ending->body;
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

// Each case of `cases` paired with false (run by exchange()) and true (run
// by start_exchange()).
template <class Case, std::size_t N>
std::vector<std::pair<Case, bool>> cases_both_ways(const Case (&cases)[N]) {
    std::vector<std::pair<Case, bool>> both;
    for (const bool on_io : {false, true}) {
        for (const auto& c : cases) both.emplace_back(c, on_io);
    }
    return both;
}

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

// start_exchange() reaches a peer as exchange() does: plain or over TLS, by
// address or by a name looked up, and fails with the same texts.
TEST_F(ExchangeTest, AnExchangeOnAnIoContextReachesThePeerAsExchangeDoes) {
    const auto named = [this](const std::string& host) {
        return Endpoint{Scheme::Http, host, m_server.port(m_plain), "/api/u/lights/1", true};
    };
    const struct {
        const char* what;
        Endpoint endpoint;
        const char* failure;  // null: the light is read
    } cases[] = {
        {"plain", at(Scheme::Http, "/api/u/lights/1"), nullptr},
        {"TLS", at(Scheme::Https, "/api/u/lights/1"), nullptr},
        {"a name", named("localhost"), nullptr},
        {"a name that is none", named(""), "Error: cannot resolve the host name ."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            const std::string light = exchange_on_io(c.endpoint, Method::Get, "", m_options);
            EXPECT_EQ(nullptr, c.failure);
            EXPECT_NE(std::string::npos, light.find(R"("name":"Desk")"));
        } catch (const Failure& failure) {
            ASSERT_NE(nullptr, c.failure) << failure.what();
            EXPECT_EQ(FailureKind::connect, failure.kind());
            EXPECT_STREQ(c.failure, failure.what());
        }
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

// A kept connection was checked for the request before; the check of the
// next request, which may pin another certificate, runs all the same.
TEST_F(ExchangeTest, ARequestOnAKeptConnectionIsCheckedAgain) {
    const auto pinned = [](const std::string& pin) {
        return [pin](const Certificate& c) -> std::optional<std::string> {
            if (c.sha256 == pin) return std::nullopt;
            return std::string("Error: the bridge's certificate is not the one paired.");
        };
    };
    m_options.check = pinned(m_server.fingerprint(m_tls));
    exchange(at(Scheme::Https, "/api/u/config"), Method::Get, "", m_options);
    m_options.check = pinned(std::string(95, 'A'));
    try {
        exchange(at(Scheme::Https, "/api/u/lights/1/state"), Method::Put, R"({"on":true})",
                 m_options);
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(FailureKind::certificate, failure.kind());
        EXPECT_STREQ("Error: the bridge's certificate is not the one paired.", failure.what());
    }
    EXPECT_EQ(1u, m_bridge->requests().size());
    // The refused request had the kept connection and closed it: the next
    // one opens the second connection.
    m_options.check = pinned(m_server.fingerprint(m_tls));
    exchange(at(Scheme::Https, "/api/u/config"), Method::Get, "", m_options);
    EXPECT_EQ((std::vector<int>{1, 2}), connections());
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
        {"503 twice, Retry-After 0: one retry", 503, 2, "0", Method::Get, 2,
         "HTTP 503 Service Unavailable"},
        {"a write refused once", 429, 1, "0", Method::Put, 2, nullptr},
        {"a wait past the deadline", 503, 1, "4", Method::Get, 1, "HTTP 503 Service Unavailable"},
        {"an hour's wait", 429, 1, "3600", Method::Get, 1, "HTTP 429 Too Many Requests"},
    };
    m_options.timeout = std::chrono::milliseconds(2000);
    for (const auto& [c, on_io] : cases_both_ways(cases)) {
        SCOPED_TRACE(std::string(c.what) + (on_io ? ", on an io_context" : ""));
        m_bridge->clear_requests();
        const bool write = c.method == Method::Put;
        const std::string path = write ? "/api/u/lights/1/state" : "/api/u/config";
        m_bridge->refuse(write ? "PUT" : "GET", path, c.status, c.refusals, c.retry_after);
        const auto started = std::chrono::steady_clock::now();
        try {
            const auto run = on_io ? exchange_on_io : exchange;
            run(at(Scheme::Http, path), c.method, write ? R"({"on":true})" : "", m_options);
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
