#include "http/exchange.hpp"

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
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

using TestingSupport::RawTcpServer;

// `target` on a raw peer.
Endpoint at(const RawTcpServer& peer, const char* target) {
    const auto port = peer.address().substr(peer.address().find(':') + 1);
    return Endpoint{Scheme::Http, "127.0.0.1", static_cast<unsigned short>(std::stoi(port)),
                    target};
}

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
    const auto opened = connections_opened();
    m_options.check = pinned(std::string(95, 'A'));
    try {
        exchange(at(Scheme::Https, "/api/u/lights/1/state"), Method::Put, R"({"on":true})",
                 m_options);
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(FailureKind::certificate, failure.kind());
        EXPECT_STREQ("Error: the bridge's certificate is not the one paired.", failure.what());
    }
    EXPECT_EQ(opened, connections_opened());  // the refused request had the kept connection
    EXPECT_EQ(1u, m_bridge->requests().size());
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
    const std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n{}";
    for (const auto& c : cases) {
        close_idle_connections();
        RawTcpServer peer(reply, RawTcpServer::Ending::close);
        exchange(at(peer, "/api/u/lights/1"), c.method, c.body, Options{});
        std::string expected =
            std::string(names[static_cast<int>(c.method)]) + " /api/u/lights/1" + c.sent;
        expected.replace(expected.find("Host: H"), 7, "Host: " + peer.address());
        ASSERT_EQ(1u, peer.requests().size());
        EXPECT_EQ(expected, peer.requests()[0]);
    }
    close_idle_connections();
    // A fetch has a connection of its own and asks the peer to close it.
    RawTcpServer peer(reply, RawTcpServer::Ending::close);
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

// A peer that drops a kept connection before any byte of the reply has the
// request once more, on a new connection, and only once; once part of the
// reply came, the request may have been carried out and fails instead.
TEST(ExchangeKeptConnection, APeerThatDropsItBeforeReplyingGetsTheRequestOnceMore) {
    const auto close = RawTcpServer::Ending::close;
    const auto reset = RawTcpServer::Ending::reset;
    struct Case {
        const char* what;
        RawTcpServer::Ending ending;
        RawTcpServer::Kept kept;
        std::size_t requests;     // received by the peer
        std::size_t connections;  // opened for both requests
        const char* failure;      // of the second request; nullptr: it succeeded
    } cases[] = {
        {"closed while idle", close, {}, 2, 2, nullptr},
        {"closed with the request on its way", close, {{1}, ""}, 3, 2, nullptr},
        {"reset with the request on its way", reset, {{1}, ""}, 3, 2, nullptr},
        {"closed again on the new connection",
         close,
         {{1, 0}, ""},
         3,
         2,
         "Failed to read HTTP status line"},
        {"closed after part of the header",
         close,
         {{1}, "HTTP/1.1 200 OK\r\n"},
         2,
         1,
         "Failed to read HTTP status line"},
        {"closed after part of the body",
         close,
         {{1}, "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n{"},
         2,
         1,
         "Failed to read response body"},
    };
    const std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n{}";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        close_idle_connections();
        RawTcpServer peer(reply, c.ending, c.kept);
        const auto opened = connections_opened();
        EXPECT_EQ("{}", exchange(at(peer, "/api/u/config"), Method::Get, "", Options{}));
        try {
            EXPECT_EQ("{}", exchange(at(peer, "/api/u/lights/1/state"), Method::Put,
                                     R"({"on":true})", Options{}));
            EXPECT_EQ(nullptr, c.failure);
        } catch (const Failure& failure) {
            EXPECT_STREQ(c.failure ? c.failure : "no failure", failure.what());
        }
        EXPECT_EQ(c.connections, connections_opened() - opened);
        const auto requests = peer.requests();
        EXPECT_EQ(c.requests, requests.size());
        for (std::size_t i = 2; i < requests.size(); ++i) EXPECT_EQ(requests[1], requests[i]);
    }
    close_idle_connections();
}

// A line the parser needs whole that never ends (a chunk's size) fails an
// exchange or a stream at once, not at the deadline with the memory full.
TEST(ExchangeLimits, AnEndlessChunkLineFailsAtOnce) {
    const std::string reply = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1;x=";
    const RawTcpServer::Sequel endless{"", std::string(64 * 1024, 'x'),
                                       std::chrono::milliseconds(0)};
    const auto started = std::chrono::steady_clock::now();
    {
        RawTcpServer peer(reply, RawTcpServer::Ending::close, endless);
        Options options;
        options.timeout = std::chrono::seconds(20);
        EXPECT_THROW(exchange(at(peer, "/api/u/config"), Method::Get, "", options), Failure);
    }
    {
        RawTcpServer peer(reply, RawTcpServer::Ending::close, endless);
        boost::asio::io_context io;
        std::optional<Failure> ended;
        StreamHandlers handlers;
        handlers.bytes = [](std::string_view) {};
        handlers.ended = [&](Failure failure) { ended.emplace(std::move(failure)); };
        const auto stop = open_stream(io, at(peer, "/eventstream/clip/v2"), Options(),
                                      std::chrono::seconds(20), std::move(handlers));
        io.run_for(std::chrono::seconds(4));
        ASSERT_TRUE(ended);
        EXPECT_EQ("Error: the stream from " + peer.address() + " broke off.", ended->what());
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(4));
}

// A body as long as the limit and a header of 64 KiB are read; one byte more
// fails, however the body's end is told.
TEST(ExchangeLimits, ABodyOrHeaderAtItsLimitIsReadAndOneByteMoreIsNot) {
    const auto sized = [](std::size_t size) {
        return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size) + "\r\n\r\n" +
               std::string(size, 'x');
    };
    const auto chunked = [](const char* first, const char* second) {
        return std::string("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n8\r\n") + first +
               "\r\n" + std::to_string(std::strlen(second)) + "\r\n" + second + "\r\n0\r\n\r\n";
    };
    const auto until_close = [](std::size_t size) {
        return "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + std::string(size, 'x');
    };
    // A header of `size` bytes, its empty last line included, and the body "{}".
    const auto header = [](std::size_t size) {
        const std::string start = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nX-Pad: ";
        return start + std::string(size - start.size() - 4, 'p') + "\r\n\r\n{}";
    };
    constexpr const char* kTooLarge = "Error: the reply is larger than 4 MiB.";
    const std::size_t kMiB4 = std::size_t{4} << 20;
    struct Case {
        const char* what;
        std::size_t limit;  // Options::body_limit; 0: the default
        std::string reply;
        std::size_t body;     // bytes read
        const char* failure;  // nullptr: the body was read
    } cases[] = {
        {"length at the limit", 16, sized(16), 16, nullptr},
        {"length one over", 16, sized(17), 0, kTooLarge},
        {"chunks at the limit", 16, chunked("xxxxxxxx", "xxxxxxxx"), 16, nullptr},
        {"chunks one over", 16, chunked("xxxxxxxx", "xxxxxxxxx"), 0, kTooLarge},
        {"until the close, at the limit", 16, until_close(16), 16, nullptr},
        {"until the close, one over", 16, until_close(17), 0, kTooLarge},
        {"4 MiB by default", 0, until_close(kMiB4), kMiB4, nullptr},
        {"4 MiB and one byte by default", 0, until_close(kMiB4 + 1), 0, kTooLarge},
        {"a header of 64 KiB", 0, header(64 * 1024), 2, nullptr},
        {"a header one over", 0, header(64 * 1024 + 1), 0,
         "Error: the reply's header is larger than 64 KiB."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        close_idle_connections();
        RawTcpServer peer(c.reply, RawTcpServer::Ending::close);
        Options options;
        if (c.limit > 0) options.body_limit = c.limit;
        try {
            EXPECT_EQ(c.body, exchange(at(peer, "/api/u/lights"), Method::Get, "", options).size());
            EXPECT_EQ(nullptr, c.failure);
        } catch (const Failure& failure) {
            EXPECT_STREQ(c.failure ? c.failure : "no failure", failure.what());
        }
    }
    close_idle_connections();
}

// A stream's body is handed over as it comes, however it is framed, until the
// peer ends it, falls silent or answers with another status.
TEST(ExchangeStream, TheBodyIsHandedOverAsItArrivesUntilTheStreamEnds) {
    const std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    const char* kEnded = "Error: PEER ended the stream.";
    struct Case {
        const char* what;
        std::string reply;
        RawTcpServer::Sequel sequel;
        std::string body;   // the bytes handed over, joined
        const char* ended;  // the failure's text, PEER for the peer's address
        int status;         // the failure's status
        bool stop = false;  // the bytes handler closes the stream at 3 bytes: no `ended`
    } cases[] = {
        {"chunks over two writes, then the last chunk",
         chunked + "4\r\n: hi\r\n",
         {"6\r\n\n\nid: \r\n0\r\n\r\n", "", std::chrono::milliseconds(50)},
         ": hi\n\nid: ",
         kEnded,
         0},
        {"chunks cut off",
         chunked + "4\r\n: hi\r\n",
         {},
         ": hi",
         "Error: the stream from PEER broke off.",
         0},
        {"until the close", "HTTP/1.1 200 OK\r\n\r\ndata: 1\n\n", {}, "data: 1\n\n", kEnded, 0},
        {"a length far beyond memory, cut off",
         "HTTP/1.1 200 OK\r\nContent-Length: 999999999999\r\n\r\nabc",
         {},
         "abc",
         "Error: the stream from PEER broke off.",
         0},
        {"no stream here",
         "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n",
         {},
         "",
         "HTTP 404 Not Found",
         404},
        {"silent",
         chunked + "1\r\n:\r\n",
         {"1\r\n:\r\n", "", std::chrono::milliseconds(700)},
         ":",
         "Error: PEER sent nothing for 300 ms.",
         0},
        // Bytes every 200 ms keep a stream silent for at most 300 ms open.
        {"closed by its reader after 400 ms",
         chunked + "1\r\n:\r\n",
         {"", "1\r\n:\r\n", std::chrono::milliseconds(200)},
         ":::",
         nullptr,
         0,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RawTcpServer peer(c.reply, RawTcpServer::Ending::close, c.sequel);
        Options options;
        options.fields = {{"hue-application-key", "u"}, {"Last-Event-ID", "7:0"}};
        boost::asio::io_context io;
        bool opened = false;
        std::string body;
        std::optional<Failure> ended;
        std::function<void()> stop;
        StreamHandlers handlers;
        handlers.opened = [&] { opened = true; };
        handlers.bytes = [&](std::string_view bytes) {
            EXPECT_TRUE(opened);
            body += bytes;
            if (c.stop && body.size() == 3) stop();
        };
        handlers.ended = [&](Failure failure) {
            EXPECT_FALSE(ended) << "ended twice";
            ended.emplace(std::move(failure));
        };
        stop = open_stream(io, at(peer, "/eventstream/clip/v2"), options,
                           std::chrono::milliseconds(300), std::move(handlers));
        io.run_for(std::chrono::seconds(2));
        EXPECT_EQ(c.body, body);
        EXPECT_EQ(c.status != 404, opened);
        if (c.ended == nullptr) {
            EXPECT_FALSE(ended);
        } else {
            std::string text = c.ended;
            if (text.find("PEER") != std::string::npos) {
                text.replace(text.find("PEER"), 4, peer.address());
            }
            ASSERT_TRUE(ended);
            EXPECT_EQ(text, ended->what());
            EXPECT_EQ(c.status, ended->status());
        }
        ASSERT_EQ(1u, peer.requests().size());
        EXPECT_EQ("GET /eventstream/clip/v2 HTTP/1.1\r\nHost: " + peer.address() +
                      "\r\nhue-application-key: u\r\nLast-Event-ID: 7:0\r\n\r\n",
                  peer.requests()[0]);
    }
}

// A field that would end early and start another is never sent.
TEST(ExchangeRequest, AFieldHoldingALineBreakFailsUnsent) {
    RawTcpServer peer("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", RawTcpServer::Ending::close);
    for (const std::string& value :
         {std::string("7\r\nX-Evil: 1"), std::string("7\n"), std::string("7\0", 2)}) {
        Options options;
        options.fields = {{"Last-Event-ID", value}};
        try {
            exchange(at(peer, "/"), Method::Get, "", options);
            ADD_FAILURE() << "sent";
        } catch (const Failure& failure) {
            EXPECT_STREQ("Error: a header field holds a line break.", failure.what());
        }
    }
    EXPECT_TRUE(peer.requests().empty());
}

}  // namespace
}  // namespace Http
