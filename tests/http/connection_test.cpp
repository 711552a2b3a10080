#include "http/connection.hpp"

#include <chrono>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include <boost/asio/io_context.hpp>
#include <gtest/gtest.h>

#include "support/raw_tcp_server.hpp"

namespace Http {
namespace {

using TestingSupport::at;
using TestingSupport::RawTcpServer;

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
        RawTcpServer peer(reply, c.ending, c.kept);
        EXPECT_EQ("{}", exchange(at(peer, "/api/u/config"), Method::Get, "", Options{}));
        try {
            EXPECT_EQ("{}", exchange(at(peer, "/api/u/lights/1/state"), Method::Put,
                                     R"({"on":true})", Options{}));
            EXPECT_EQ(nullptr, c.failure);
        } catch (const Failure& failure) {
            EXPECT_STREQ(c.failure ? c.failure : "no failure", failure.what());
        }
        EXPECT_EQ(c.connections, peer.connections());
        const auto requests = peer.requests();
        EXPECT_EQ(c.requests, requests.size());
        for (std::size_t i = 2; i < requests.size(); ++i) EXPECT_EQ(requests[1], requests[i]);
    }
}

// A kept connection on which the peer said more than it was asked (a 408
// before closing it, after the reply was read) carries no other request: the
// bytes would be read as its reply.
TEST(ExchangeKeptConnection, OneThePeerSpokeOnUnaskedIsNotUsedAgain) {
    RawTcpServer peer("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n{}", RawTcpServer::Ending::close,
                      RawTcpServer::Sequel{"HTTP/1.1 408 Request Timeout\r\n\r\n", "",
                                           std::chrono::milliseconds(30)});
    EXPECT_EQ("{}", exchange(at(peer, "/api/u/config"), Method::Get, "", Options{}));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));  // the 408 and the close arrive
    EXPECT_EQ("{}", exchange(at(peer, "/api/u/config"), Method::Get, "", Options{}));
    EXPECT_EQ(2u, peer.connections());
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

}  // namespace
}  // namespace Http
