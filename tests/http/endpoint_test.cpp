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
        const auto endpoint = read_endpoint(c.url, kNumericUrl);
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
        const auto endpoint = read_endpoint(c.url, kWebUrl);
        ASSERT_EQ(c.host != nullptr, endpoint.has_value());
        if (!endpoint) continue;
        EXPECT_EQ(c.host, endpoint->host);
        EXPECT_EQ(c.target, endpoint->target);
        EXPECT_TRUE(endpoint->by_name);
    }
    // Labels of 63 characters at most, names of 253.
    const std::string label(63, 'a');
    EXPECT_TRUE(read_endpoint("https://" + label + ".example/", kWebUrl));
    EXPECT_FALSE(read_endpoint("https://a" + label + ".example/", kWebUrl));
    std::string longest = label + "." + label + "." + label + "." + std::string(61, 'b');
    EXPECT_TRUE(read_endpoint("https://" + longest + "/", kWebUrl));
    EXPECT_FALSE(read_endpoint("https://" + longest + "b/", kWebUrl));
    EXPECT_FALSE(read_endpoint("https://127.0.0.1/", kNumericUrl)->by_name);
}

// Each source of addresses allows its own forms of the one reader: --bridge
// (a bare address tries HTTPS first), the credentials file and searches (a
// bare address is plain HTTP), the portal variable (names and paths).
TEST(EndpointReading, EachSourceTakesItsOwnForms) {
    constexpr EndpointForms kLocation{
        .urls = true, .host_port = true, .bare = BareAddress::https_first};
    constexpr EndpointForms kAddress{.host_port = true, .bare = BareAddress::plain_http};
    constexpr EndpointForms kPortal{.urls = true,
                                    .names = true,
                                    .paths = true,
                                    .host_port = true,
                                    .bare = BareAddress::plain_http};
    struct Case {
        const char* text;
        EndpointForms forms;
        const char* read;  // location_text of what was read; null: refused
        bool bare;
        bool by_name;
    } cases[] = {
        {"192.0.2.1", kLocation, "https://192.0.2.1", true, false},
        {"::1", kLocation, "https://[::1]", true, false},
        {"192.0.2.1:80", kLocation, "192.0.2.1:80", false, false},
        {"[::1]:8080", kLocation, "[::1]:8080", false, false},
        {"http://192.0.2.1", kLocation, "192.0.2.1:80", false, false},
        {"https://192.0.2.1:443", kLocation, "https://192.0.2.1", false, false},
        {"https://[0:0::1]:8443", kLocation, "https://[::1]:8443", false, false},
        {"https://192.0.2.1/", kLocation, nullptr, false, false},
        {"https://192.0.2.1?x", kLocation, nullptr, false, false},
        {"https://::1", kLocation, nullptr, false, false},
        {"https://[192.0.2.1]", kLocation, nullptr, false, false},
        {"https://192.0.2.1:", kLocation, nullptr, false, false},
        {"[::1]", kLocation, nullptr, false, false},
        {"192.0.2.1:08080", kLocation, nullptr, false, false},
        {"bridge.local", kLocation, nullptr, false, false},
        {"bridge.local:80", kLocation, nullptr, false, false},
        {"https://bridge.local", kLocation, nullptr, false, false},
        {"192.0.2.1", kAddress, "192.0.2.1:80", false, false},
        {"[::1]:443", kAddress, "[::1]:443", false, false},
        {"https://192.0.2.1", kAddress, nullptr, false, false},
        {"portal.example", kPortal, "portal.example:80", false, false},
        {"Portal.Example:8080", kPortal, "portal.example:8080", false, false},
        {"[::1]:8080", kPortal, "[::1]:8080", false, false},
        {"https://portal.example/v1", kPortal, "https://portal.example", false, true},
        {"portal_1.example", kPortal, nullptr, false, false},
        {"[portal.example]:80", kPortal, nullptr, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto endpoint = read_endpoint(c.text, c.forms);
        ASSERT_EQ(c.read != nullptr, endpoint.has_value());
        if (!endpoint) continue;
        EXPECT_EQ(c.read, location_text(*endpoint));
        EXPECT_EQ(c.bare, endpoint->bare);
        EXPECT_EQ(c.by_name, endpoint->by_name);
        // What location_text writes reads back as the same peer, never bare.
        if (!c.by_name && c.forms.urls) {
            const auto again = read_endpoint(location_text(*endpoint), c.forms);
            ASSERT_TRUE(again.has_value());
            EXPECT_TRUE(endpoint->scheme == again->scheme);
            EXPECT_EQ(endpoint->host, again->host);
            EXPECT_EQ(endpoint->port, again->port);
            EXPECT_FALSE(again->bare);
        }
    }
}

}  // namespace
}  // namespace Http
