#include "http/endpoint.hpp"

#include <gtest/gtest.h>

namespace Http {
namespace {

TEST(UrlReading, TakesBothSchemesWithTheirDefaultPorts) {
    struct Case {
        const char* url;
        bool read;
        Scheme scheme;
        const char* host;
        unsigned short port;
        const char* target;
        const char* text;  // url_text of what was read
    } cases[] = {
        {"http://192.0.2.1/api", true, Scheme::Http, "192.0.2.1", 80, "/api",
         "http://192.0.2.1/api"},
        {"https://192.0.2.1", true, Scheme::Https, "192.0.2.1", 443, "/", "https://192.0.2.1/"},
        {"https://192.0.2.1:80/a?b", true, Scheme::Https, "192.0.2.1", 80, "/a?b",
         "https://192.0.2.1:80/a?b"},
        {"http://192.0.2.1:443/", true, Scheme::Http, "192.0.2.1", 443, "/",
         "http://192.0.2.1:443/"},
        {"https://[::1]:8443/x", true, Scheme::Https, "::1", 8443, "/x", "https://[::1]:8443/x"},
        {"https://[0:0::1]/", true, Scheme::Https, "::1", 443, "/", "https://[::1]/"},
        {"ftp://192.0.2.1/", false, Scheme::Http, "", 0, "", ""},
        {"https://bridge.local/", false, Scheme::Http, "", 0, "", ""},
        {"https://::1/", false, Scheme::Http, "", 0, "", ""},
        {"https://192.0.2.1:0/", false, Scheme::Http, "", 0, "", ""},
        {"https://192.0.2.1:65536/", false, Scheme::Http, "", 0, "", ""},
        {"https://u@192.0.2.1/", false, Scheme::Http, "", 0, "", ""},
        {"https://[fe80::1%25eth0]/", false, Scheme::Http, "", 0, "", ""},
        {"HTTPS://[::A]", true, Scheme::Https, "::a", 443, "/", "https://[::a]/"},
        {"http://192.0.2.1?x=1#f", true, Scheme::Http, "192.0.2.1", 80, "/?x=1",
         "http://192.0.2.1/?x=1"},
        {"http://192.0.2.1/a?#f", true, Scheme::Http, "192.0.2.1", 80, "/a", "http://192.0.2.1/a"},
        {"http://192.0.2.1:/", false, Scheme::Http, "", 0, "", ""},
        {"http://192.0.2.1:08080/", false, Scheme::Http, "", 0, "", ""},
        {"http://@192.0.2.1/", false, Scheme::Http, "", 0, "", ""},
        {"http://192.0.2.1/a b", false, Scheme::Http, "", 0, "", ""},
        {"http:192.0.2.1/", false, Scheme::Http, "", 0, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        const auto endpoint = parse_url(c.url);
        ASSERT_EQ(c.read, endpoint.has_value());
        if (!endpoint) continue;
        EXPECT_EQ(c.scheme, endpoint->scheme);
        EXPECT_EQ(c.host, endpoint->host);
        EXPECT_EQ(c.port, endpoint->port);
        EXPECT_EQ(c.target, endpoint->target);
        EXPECT_EQ(c.text, url_text(*endpoint));
    }
}

TEST(UrlReading, NamedUrlsTakeHostNamesAndKeepTheirTargets) {
    struct Case {
        const char* url;
        const char* host;  // null: refused
        const char* target;
    } cases[] = {
        {"https://portal.example", "portal.example", "/"},
        {"http://localhost:8080/v1/x?y=1", "localhost", "/v1/x?y=1"},
        {"https://127.0.0.1/", "127.0.0.1", "/"},
        {"https://[::1]/", "::1", "/"},
        {"https://a-1.b2.example/", "a-1.b2.example", "/"},
        {"https://Portal.Example:8443/A", "portal.example", "/A"},
        {"https://-a.example/", nullptr, nullptr},
        {"https://a-.example/", nullptr, nullptr},
        {"https://a..example/", nullptr, nullptr},
        {"https://a_b.example/", nullptr, nullptr},
        {"https://1.2.3/", nullptr, nullptr},
        {"https://example.123/", nullptr, nullptr},
        {"https://[portal.example]/", nullptr, nullptr},
        {"https://u@portal.example/", nullptr, nullptr},
        {"ftp://portal.example/", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        const auto endpoint = parse_named_url(c.url);
        ASSERT_EQ(c.host != nullptr, endpoint.has_value());
        if (!endpoint) continue;
        EXPECT_EQ(c.host, endpoint->host);
        EXPECT_EQ(c.target, endpoint->target);
        EXPECT_TRUE(endpoint->by_name);
    }
    // Labels of 63 characters at most, names of 253.
    const std::string label(63, 'a');
    EXPECT_TRUE(parse_named_url("https://" + label + ".example/"));
    EXPECT_FALSE(parse_named_url("https://a" + label + ".example/"));
    std::string longest = label + "." + label + "." + label + "." + std::string(61, 'b');
    EXPECT_TRUE(parse_named_url("https://" + longest + "/"));
    EXPECT_FALSE(parse_named_url("https://" + longest + "b/"));
    EXPECT_FALSE(parse_url("https://127.0.0.1/")->by_name);
}

}  // namespace
}  // namespace Http
