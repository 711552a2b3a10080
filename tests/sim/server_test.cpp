#include "sim/server.hpp"

#include <chrono>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <openssl/bio.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "json/parse.hpp"
#include "sim/sim_bridge.hpp"

namespace Sim {
namespace {

using Json::parse;

// Sends `bytes` to 127.0.0.1:`port` and returns what comes back until the
// server closes the connection or, when `until` is not empty, until that
// text has come; at most 3 seconds.
std::string exchange(unsigned short port, const std::string& bytes,
                     const std::string& until = std::string()) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string received;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0 &&
        ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
            static_cast<ssize_t>(bytes.size())) {
        pollfd readable{fd, POLLIN, 0};
        char buffer[4096];
        ssize_t n = 0;
        while ((until.empty() || received.find(until) == std::string::npos) &&
               ::poll(&readable, 1, 3000) == 1 && (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0) {
            received.append(buffer, static_cast<std::size_t>(n));
        }
    }
    ::close(fd);
    return received;
}

// The first bytes of a ClientHello: a handshake record of TLS 1.0 framing.
const std::string kClientHello("\x16\x03\x01\x00\x2f\x01\x00\x00\x2b\x03\x03", 11);

// What a plain HTTP port answers to a TLS greeting.
constexpr const char* kRefusal =
    "HTTP/1.1 400 Bad Request\r\nContent-Type: text/plain\r\nContent-Length: 0\r\n"
    "Connection: close\r\n\r\n";

// A TLS greeting on a plain HTTP port, of a bridge or of the port that
// redirects to a TLS bridge, is answered at once with 400 and a close, as HTTP
// servers do, and reaches no bridge; requests on the same port are served as
// before.
TEST(SimServer, AnswersATlsGreetingOnAPlainPortWith400AndACloseAtOnce) {
    auto bridge = std::make_shared<SimBridge>(
        parse(R"({"state":{"config":{"name":"Hall","mac":"00:17:88:1a:2b:3c"}}})"));
    Server server;
    const std::size_t plain = server.add("127.0.0.1", 0, bridge);
    const std::size_t tls = server.add("127.0.0.1", 0, bridge, Transport::tls);
    const std::size_t redirect = server.add_redirect("127.0.0.1", 0, tls);
    server.open();
    for (const std::size_t listener : {plain, redirect}) {
        SCOPED_TRACE(listener);
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(kRefusal, exchange(server.port(listener), kClientHello));
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1000));
        EXPECT_TRUE(bridge->requests().empty());
    }
    const std::string reply =
        exchange(server.port(plain), "GET /api/config HTTP/1.1\r\n\r\n", "\r\n");
    EXPECT_EQ(0u, reply.rfind("HTTP/1.1 200 OK\r\n", 0)) << reply;
    EXPECT_EQ(1u, bridge->requests().size());
}

// The common name of the certificate in `pem`.
std::string common_name(const std::string& pem) {
    BIO* bio = BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
    X509* certificate = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr);
    char name[256] = "";
    if (certificate != nullptr) {
        X509_NAME_get_text_by_NID(X509_get_subject_name(certificate), NID_commonName, name,
                                  sizeof name);
    }
    X509_free(certificate);
    BIO_free(bio);
    return name;
}

// A TLS bridge's certificate names the id its MAC address makes when its
// configuration names none; a bridge with neither cannot be served over TLS.
TEST(SimServer, ATlsBridgeNeedsAnIdOrAMacAddress) {
    Server named;
    const std::size_t index = named.add(
        "127.0.0.1", 0,
        std::make_shared<SimBridge>(parse(R"({"state":{"config":{"mac":"00:17:88:1a:2b:3c"}}})")),
        Transport::tls);
    named.open();
    EXPECT_EQ("001788fffe1a2b3c", common_name(named.certificate_pem(index)));

    Server nameless;
    nameless.add("127.0.0.1", 0,
                 std::make_shared<SimBridge>(parse(R"({"state":{"config":{"name":"Hall"}}})")),
                 Transport::tls);
    try {
        nameless.open();
        FAIL() << "served without a certificate name";
    } catch (const std::invalid_argument& e) {
        EXPECT_EQ(std::string("a bridge served over TLS needs an id for its certificate: its "
                              "configuration has neither \"bridgeid\" nor \"mac\""),
                  e.what());
    }
}

// A TLS connection to 127.0.0.1:`port` that takes any certificate. Each read
// waits at most 3 seconds.
class TlsClient {
public:
    explicit TlsClient(unsigned short port)
        : m_fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)),
          m_context(SSL_CTX_new(TLS_client_method())),
          m_ssl(SSL_new(m_context)) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const timeval limit{3, 0};
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        if (::connect(m_fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) return;
        SSL_set_fd(m_ssl, m_fd);
        m_connected = SSL_connect(m_ssl) == 1;
    }
    ~TlsClient() {
        SSL_free(m_ssl);
        SSL_CTX_free(m_context);
        ::close(m_fd);
    }
    TlsClient(const TlsClient&) = delete;
    TlsClient& operator=(const TlsClient&) = delete;

    bool send(const std::string& bytes) {
        return m_connected && SSL_write(m_ssl, bytes.data(), static_cast<int>(bytes.size())) ==
                                  static_cast<int>(bytes.size());
    }

    // What came up to and with `text`, or all that came when the server ended
    // the connection or went quiet first.
    std::string read_until(const std::string& text) {
        while (m_pending.find(text) == std::string::npos && read_more()) {
        }
        const std::size_t found = m_pending.find(text);
        const std::size_t size =
            found == std::string::npos ? m_pending.size() : found + text.size();
        const std::string taken = m_pending.substr(0, size);
        m_pending.erase(0, size);
        return taken;
    }

    // True when the server ends the connection before 3 s pass without data.
    bool ends() {
        while (read_more()) {
        }
        return m_ended;
    }

    // Goes away at once, without a word.
    void vanish() { ::shutdown(m_fd, SHUT_RDWR); }

private:
    bool read_more() {
        char buffer[4096];
        const int n = m_connected ? SSL_read(m_ssl, buffer, sizeof buffer) : 0;
        if (n > 0) {
            m_pending.append(buffer, static_cast<std::size_t>(n));
            return true;
        }
        m_ended = m_connected && errno != EAGAIN && errno != EWOULDBLOCK;
        return false;
    }

    int m_fd;
    SSL_CTX* m_context;
    SSL* m_ssl;
    bool m_connected = false;
    bool m_ended = false;
    std::string m_pending;
};

// The reply header and first chunk of every event stream.
constexpr const char* kStreamStart =
    "HTTP/1.1 200 OK\r\nContent-Type: text/event-stream\r\nCache-Control: no-cache\r\n"
    "Transfer-Encoding: chunked\r\n\r\n6\r\n: hi\n\n\r\n";

// The end of an event's chunk.
constexpr const char* kEventEnd = "\n\n\r\n";

// 2026-12-08T14:03:07Z, the time every event of these tests is made.
constexpr std::int64_t kEventTime = 1796738587;

// One bridge over TLS and over plain HTTP, user "u" on its whitelist, its
// events stamped kEventTime.
class SimEventStream : public ::testing::Test {
protected:
    void SetUp() override { serve(); }

    // Serves a bridge of its own, in place of the one before.
    void serve() {
        server.reset();
        bridge = std::make_shared<SimBridge>(parse(
            R"({"state":{"config":{"mac":"00:17:88:1a:2b:3c","whitelist":{"u":{}}},)"
            R"("lights":{"1":{"name":"A","state":{"on":true}},"3":{"name":"Kitchen",)"
            R"("state":{"on":true,"bri":254}}},"groups":{"1":{"name":"G","lights":["3"]}}}})"));
        bridge->journal().set_clock([] { return kEventTime; });
        server = std::make_unique<Server>();
        plain = server->add("127.0.0.1", 0, bridge);
        tls = server->add("127.0.0.1", 0, bridge, Transport::tls);
        server->open();
    }

    // The request of the event stream with the `fields` given ("Name: value\r\n"...).
    static std::string stream_request(const std::string& fields) {
        return "GET /eventstream/clip/v2?v=1 HTTP/1.1\r\nHost: bridge\r\n"
               "Accept: text/event-stream\r\n" +
               fields + "\r\n";
    }

    // Opens the stream with `fields` and reads its start, once the bridge
    // counts it open.
    std::unique_ptr<TlsClient> open_stream(
        const std::string& fields = "hue-application-key: u\r\n") {
        auto client = std::make_unique<TlsClient>(server->port(tls));
        client->send(stream_request(fields));
        EXPECT_EQ(kStreamStart, client->read_until(": hi\n\n\r\n"));
        EXPECT_TRUE(streams_become(1));
        return client;
    }

    // True when the bridge serves `count` streams within 3 s.
    bool streams_become(int count) {
        for (int i = 0; i < 300 && bridge->open_streams() != count; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return bridge->open_streams() == count;
    }

    // Turns light 1 on or off.
    void toggle_light_one() {
        bridge->update([](Json::Value& state) {
            Json::Value& on = state["lights"]["1"]["state"]["on"];
            on = !on.get<bool>();
        });
    }

    std::shared_ptr<SimBridge> bridge;
    std::unique_ptr<Server> server;
    std::size_t plain = 0;
    std::size_t tls = 0;
};

// A change through the REST routes is sent at once as one event in one chunk:
// its id the seconds and the bridge's count of events, its data the containers
// on one line.
TEST_F(SimEventStream, SendsEachChangeAtOnceInAChunkOfItsOwn) {
    auto client = open_stream();
    bridge->handle("PUT", "/api/u/lights/3/state", R"({"on":false,"bri":120})");
    // The light's changed properties in the newer shape, with its owner.
    EXPECT_EQ(
        "16d\r\n"
        "id: 1796738587:0\n"
        R"(data: [{"creationtime":"2026-12-08T14:03:07Z","data":[{"dimming":{"brightness":)"
        R"(47.244094488188978},"id":"89fcc13c-fc2b-84fa-93a2-20094776ea11","id_v1":"/lights/3",)"
        R"("on":{"on":false},"owner":{"rid":"123fa662-94a4-8d0b-9d39-ac4ad2097db8","rtype":)"
        R"("device"},"service_id":0,"type":"light"}],)"
        R"("id":"f39f57c5-032d-83a1-8397-164f5230bf53","type":"update"}])"
        "\n\n\r\n",
        client->read_until(kEventEnd));
    toggle_light_one();
    EXPECT_TRUE(std::regex_search(client->read_until(kEventEnd),
                                  std::regex("^[0-9a-f]+\r\nid: 1796738587:1\ndata: \\[\\{")));
}

// A stream that names the last event it saw gets every later event the
// journal holds at once, after its start; one naming an event the journal
// does not hold, or none, gets only new ones. The request is logged with the
// id it named.
TEST_F(SimEventStream, ReplaysTheEventsAfterTheLastEventId) {
    const struct {
        const char* what;
        const char* last_event_id;  // null: no such field
        const char* ids;            // of the events sent
    } cases[] = {
        {"the first", "1796738587:0", "1796738587:1 1796738587:2 1796738587:3"},
        {"the last", "1796738587:2", "1796738587:3"},
        {"one not yet made", "1796738587:3", "1796738587:3"},
        {"one of another time", "1796738586:1", "1796738587:3"},
        {"not an id", "x", "1796738587:3"},
        {"none", nullptr, "1796738587:3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        serve();
        for (int i = 0; i < 3; ++i) toggle_light_one();
        const std::string field = c.last_event_id != nullptr
                                      ? "Last-Event-ID: " + std::string(c.last_event_id) + "\r\n"
                                      : std::string();
        auto client = open_stream("hue-application-key: u\r\n" + field);
        toggle_light_one();
        const std::string sent = client->read_until("id: 1796738587:3\n");
        std::string ids;
        const std::regex id_line("\nid: ([0-9:]+)\n");
        for (std::sregex_iterator i(sent.begin(), sent.end(), id_line), end; i != end; ++i) {
            ids += (ids.empty() ? "" : " ") + (*i)[1].str();
        }
        EXPECT_EQ(c.ids, ids);
        const LoggedRequest logged = bridge->requests().back();
        EXPECT_EQ("GET /eventstream/clip/v2?v=1", logged.method + " " + logged.path);
        EXPECT_EQ("", logged.body);
        EXPECT_EQ(c.last_event_id != nullptr ? c.last_event_id : "", logged.last_event_id);
    }
}

// A key that names no user is refused with 403, and the connection serves on.
TEST_F(SimEventStream, RefusesAKeyThatNamesNoUserWith403) {
    for (const std::string field : {"hue-application-key: v\r\n", "hue-application-key:\r\n", ""}) {
        SCOPED_TRACE(field);
        TlsClient client(server->port(tls));
        client.send(stream_request(field));
        EXPECT_EQ(
            "HTTP/1.1 403 Forbidden\r\nContent-Type: application/json\r\nContent-Length: 89\r\n\r\n"
            R"([{"error":{"address":"/eventstream/clip/v2","description":"unauthorized user",)"
            R"("type":1}}])",
            client.read_until("}}]"));
        client.send("GET /api/u/lights/1 HTTP/1.1\r\n\r\n");
        EXPECT_EQ(0u, client.read_until("}}").find("HTTP/1.1 200 OK\r\n"));
        EXPECT_EQ(0, bridge->open_streams());
    }
}

// Over plain HTTP there is no stream: the bridge's usual 404; a fault set on
// the stream's path answers in its place over TLS.
TEST_F(SimEventStream, APlainListenerOrAFaultAnswersInsteadOfTheStream) {
    const std::string request = stream_request("hue-application-key: u\r\n");
    EXPECT_EQ(0u, exchange(server->port(plain), request, "</html>")
                      .find("HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\n"));
    Fault gone;
    gone.status = 404;
    gone.body = "gone";
    bridge->set_fault("GET", "/eventstream/clip/v2?v=1", gone);
    TlsClient client(server->port(tls));
    client.send(request);
    EXPECT_EQ(0u, client.read_until("gone").find("HTTP/1.1 404 Not Found\r\n"));
    EXPECT_EQ(0, bridge->open_streams());
}

// Without events, a heartbeat comment comes each heartbeat interval.
TEST_F(SimEventStream, SendsAHeartbeatAfterEachQuietInterval) {
    bridge->set_heartbeat(std::chrono::milliseconds(50));
    auto client = open_stream();
    EXPECT_EQ("d\r\n: heartbeat\n\n\r\n", client->read_until("\r\n: heartbeat\n\n\r\n"));
    EXPECT_EQ("d\r\n: heartbeat\n\n\r\n", client->read_until("\r\n: heartbeat\n\n\r\n"));
}

// A stream ends at once, its connection closed without a last chunk, when the
// bridge drops its streams, its certificate is renewed or the server closes;
// and at its next write once the client went away.
TEST_F(SimEventStream, EndsAtOnceWhenDroppedRenewedClosedOrLeft) {
    const struct {
        const char* what;
        std::function<void(TlsClient&)> end;
    } cases[] = {
        {"dropped", [this](TlsClient&) { bridge->drop_streams(); }},
        {"renewed", [this](TlsClient&) { server->renew_certificate(tls); }},
        {"closed", [this](TlsClient&) { server->close(); }},
        {"left",
         [this](TlsClient& client) {
             // The first write after may still succeed; the heartbeats that
             // follow fail.
             client.vanish();
             bridge->set_heartbeat(std::chrono::milliseconds(20));
             toggle_light_one();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        serve();
        auto client = open_stream();
        const auto started = std::chrono::steady_clock::now();
        c.end(*client);
        EXPECT_TRUE(streams_become(0));
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1000));
        if (std::string(c.what) != "left") {
            EXPECT_TRUE(client->ends());
            EXPECT_EQ("", client->read_until("\r\n"));
        }
    }
    // A stream opened after a drop is served as usual.
    serve();
    auto client = open_stream();
    bridge->drop_streams();
    EXPECT_TRUE(client->ends());
    auto again = open_stream();
    toggle_light_one();
    EXPECT_TRUE(std::regex_search(again->read_until(kEventEnd), std::regex("^[0-9a-f]+\r\nid: ")));
}

}  // namespace
}  // namespace Sim
