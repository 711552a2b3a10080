#include "discovery/ssdp_reply.hpp"

#include <chrono>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <boost/asio/io_context.hpp>
#include <gtest/gtest.h>

#include "discovery/test_http_server.hpp"
#include "http/exchange.hpp"

namespace UPnP {
namespace {

TEST(SsdpSearchRequest, HasTheFourHeadersAndEndsWithAnEmptyLine) {
    EXPECT_EQ(
        "M-SEARCH * HTTP/1.1\r\nHOST: 239.255.255.250:1900\r\nMAN: \"ssdp:discover\"\r\n"
        "MX: 2\r\nST: upnp:rootdevice\r\n\r\n",
        search_request("upnp:rootdevice"));
}

TEST(SsdpReplyParsing, ReadsStatusAndHeadersInAnyCase) {
    const auto reply = parse_ssdp_reply(
        "HTTP/1.1 200 OK\r\nCache-Control: max-age=100\r\nlocation:  http://10.0.0.2/d.xml \r\n"
        "EXT:\r\nST: upnp:rootdevice\r\n\r\n");
    ASSERT_TRUE(reply);
    EXPECT_EQ(200, reply->status);
    EXPECT_EQ("http://10.0.0.2/d.xml", reply->header("LOCATION"));
    EXPECT_EQ("upnp:rootdevice", reply->header("st"));
    EXPECT_EQ("", reply->header("ext"));
    EXPECT_EQ("", reply->header("usn"));
}

TEST(SsdpReplyParsing, LocationOfEachDatagram) {
    struct Case {
        const char* datagram;
        const char* location;
    } cases[] = {
        {"HTTP/1.1 200 OK\r\nLOCATION: http://a/x\r\n\r\n", "http://a/x"},
        {"HTTP/1.1 200 OK\r\nLocation:http://a/x\r\n", "http://a/x"},  // no blank, no end
        {"HTTP/1.0 200\nlocation: http://a/x\n\n", "http://a/x"},      // bare LF, no reason
        {"HTTP/1.1 200 OK\r\nLOCATION: http://a/1\r\nLOCATION: http://a/2\r\n\r\n", "http://a/1"},
        {"HTTP/1.1 200 OK\r\n\r\nLOCATION: http://a/body\r\n", ""},  // after the header
        {"HTTP/1.1 200 OK\r\nX-LOCATION: http://a/x\r\n\r\n", ""},
        {"HTTP/1.1 200 OK\r\nLOCATION http://a/x\r\n\r\n", ""},  // no colon
        {"HTTP/1.1 404 Not Found\r\nLOCATION: http://a/x\r\n\r\n", ""},
        {"NOTIFY * HTTP/1.1\r\nLOCATION: http://a/x\r\n\r\n", ""},
        {"M-SEARCH * HTTP/1.1\r\nLOCATION: http://a/x\r\n\r\n", ""},
        {"HTTP/2 200\r\nLOCATION: http://a/x\r\n\r\n", ""},
        {"HTTP/1.1 2000 OK\r\nLOCATION: http://a/x\r\n\r\n", ""},
        {"HTTP/1.1 20x OK\r\nLOCATION: http://a/x\r\n\r\n", ""},
        {"", ""},
        {"\x01\x02garbage", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.datagram);
        EXPECT_EQ(c.location, reply_location(c.datagram));
    }
}

TEST(HttpUrlParsing, AcceptsNumericHttpUrls) {
    struct Case {
        const char* url;
        const char* host;
        unsigned short port;
        const char* target;
    } cases[] = {
        {"http://192.168.1.2:80/description.xml", "192.168.1.2", 80, "/description.xml"},
        {"HTTP://10.0.0.1/", "10.0.0.1", 80, "/"},
        {"http://10.0.0.1", "10.0.0.1", 80, "/"},
        {"http://10.0.0.1:8080?q=1#frag", "10.0.0.1", 8080, "/?q=1"},
        {"http://[::1]:49152/desc", "::1", 49152, "/desc"},
        {"http://[fe80::1]/", "fe80::1", 80, "/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        const auto url = Http::read_endpoint(c.url, kDescriptionUrl);
        ASSERT_TRUE(url);
        EXPECT_EQ(c.host, url->host);
        EXPECT_EQ(c.port, url->port);
        EXPECT_EQ(c.target, url->target);
    }
}

TEST(HttpUrlParsing, RefusesEverythingElse) {
    const char* cases[] = {
        "https://10.0.0.1/",
        "ftp://10.0.0.1/",
        "//10.0.0.1/",
        "http://bridge.local/",
        "http://10.0.0.1:0/",
        "http://10.0.0.1:65536/",
        "http://10.0.0.1:/",
        "http://10.0.0.1:8o/",
        "http://u@10.0.0.1/",
        "http://10.0.0/",
        "http://10.0.0.1 /",
        "http://10.0.0.1/a b",
        "http://::1/",
        "http://[10.0.0.1]/",
        "http://[::1/",
        "http://[::1]x/",
        "http://[fe80::1%25eth0]/",
        "http://",
        "",
    };
    for (const char* c : cases) {
        SCOPED_TRACE(c);
        EXPECT_FALSE(Http::read_endpoint(c, kDescriptionUrl));
    }
}

// Serves each response (keeping the connection open after it unless
// `closed`) and fetches them all at once with a cap of 10 bytes. A fetch that
// `waits` ends without a body at its time-out; the others end before it.
TEST(HttpFetch, OnlyWholeOkResponsesWithinTheLimitsYieldABody) {
    struct Case {
        std::string response;
        bool closed;
        const char* body;  // nullptr: none
        bool waits;
    } cases[] = {
        {"HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello", false, "hello", false},
        {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello world", false, "hello", false},
        {"HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhel", false, nullptr, true},
        {"HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhel", true, nullptr, false},
        {"HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n", false, "", false},
        {"HTTP/1.0 200 OK\r\n\r\ntil close", false, nullptr, true},
        {"HTTP/1.0 200 OK\r\n\r\ntil close", true, "til close", false},
        {"HTTP/1.0 200 OK\n\nbare LF", true, nullptr, false},  // the parser wants CRLF
        {"HTTP/1.0 200 OK\r\nContent-", false, nullptr, true},
        {"HTTP/1.0 200 OK\r\nContent-", true, nullptr, false},
        {"HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n", false, nullptr, false},
        {"HTTP/1.0 302 Found\r\nContent-Length: 0\r\n\r\n", true, nullptr, false},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n", false,
         "hello", false},  // chunked
        {"HTTP/1.0 200 OK\r\nContent-Length: -1\r\n\r\n", true, nullptr, false},
        {"HTTP/1.0 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\n", false, nullptr, false},
        {"HTTP/1.0 200 OK\r\nContent-Length: 11\r\n\r\n", false, nullptr, false},  // over cap
        {"HTTP/1.0 200 OK\r\nContent-Length: 1000000000000\r\n\r\nx", true, nullptr,
         false},  // over cap, body bytes right behind the header
        {"HTTP/1.0 200 OK\r\n\r\n0123456789", true, "0123456789", false},  // at cap
        {"HTTP/1.0 200 OK\r\n\r\n0123456789X", false, nullptr, false},     // over cap
        {"garbage\r\n\r\n", true, nullptr, false},
        {"HTTP/1.0 200 OK\r\nX: " + std::string(64 * 1024, 'a'), false, nullptr,
         false},  // a header over 64 KiB
    };
    constexpr std::chrono::milliseconds kTimeout{1000};
    TestSupport::TestHttpServer server;
    boost::asio::io_context io;
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::vector<std::optional<std::string>>> results(std::size(cases));
    std::vector<std::chrono::steady_clock::duration> took(std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::string path = "/" + std::to_string(i);
        server.serve_raw(path, cases[i].response, cases[i].closed);
        Http::fetch(io, *Http::read_endpoint(server.url(path), kDescriptionUrl), kTimeout, 10,
                    [&, i](std::optional<std::string> body) {
                        results[i].push_back(std::move(body));
                        took[i] = std::chrono::steady_clock::now() - start;
                    });
    }
    io.run();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.response.substr(0, 80));
        ASSERT_EQ(1u, results[i].size());  // done is called exactly once
        EXPECT_EQ(c.body ? std::optional<std::string>(c.body) : std::nullopt, results[i].front());
        EXPECT_EQ(c.waits, took[i] >= kTimeout);
    }
}

}  // namespace
}  // namespace UPnP
