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

}  // namespace
}  // namespace Http
