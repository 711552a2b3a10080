#include "http/request.hpp"

#include <chrono>
#include <optional>
#include <string>

#include <boost/asio/io_context.hpp>
#include <gtest/gtest.h>

#include "support/raw_tcp_server.hpp"

namespace Http {
namespace {

using TestingSupport::at;
using TestingSupport::RawTcpServer;

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
        RawTcpServer peer(reply, RawTcpServer::Ending::close);
        exchange(at(peer, "/api/u/lights/1"), c.method, c.body, Options{});
        std::string expected =
            std::string(names[static_cast<int>(c.method)]) + " /api/u/lights/1" + c.sent;
        expected.replace(expected.find("Host: H"), 7, "Host: " + peer.address());
        ASSERT_EQ(1u, peer.requests().size());
        EXPECT_EQ(expected, peer.requests()[0]);
    }
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
