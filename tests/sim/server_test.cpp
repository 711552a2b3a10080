#include "sim/server.hpp"

#include <chrono>
#include <memory>
#include <string>

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <openssl/bio.h>
#include <openssl/pem.h>
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

}  // namespace
}  // namespace Sim
