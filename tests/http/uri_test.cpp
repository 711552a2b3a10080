#include "http/uri.hpp"

#include <gtest/gtest.h>

namespace Http {
namespace {

TEST(UriReading, SplitsTheParts) {
    struct Case {
        const char* text;
        const char* scheme;     // null: none
        const char* authority;  // null: none
        const char* host;
        const char* port;  // null: none
        bool user_info;
        const char* path;
        const char* query;     // null: none
        const char* fragment;  // null: none
    } cases[] = {
        {"http://192.0.2.1:8080/a/b?c=d#e", "http", "192.0.2.1:8080", "192.0.2.1", "8080", false,
         "/a/b", "c=d", "e"},
        {"HTTPS://u:p@Example.COM/", "HTTPS", "u:p@Example.COM", "Example.COM", nullptr, true, "/",
         nullptr, nullptr},
        {"http://[::1]:/", "http", "[::1]:", "[::1]", "", false, "/", nullptr, nullptr},
        {"http://", "http", "", "", nullptr, false, "", nullptr, nullptr},
        {"urn:uuid:1", "urn", nullptr, "", nullptr, false, "uuid:1", nullptr, nullptr},
        {"index.html", nullptr, nullptr, "", nullptr, false, "index.html", nullptr, nullptr},
        {"//h/p", nullptr, "h", "h", nullptr, false, "/p", nullptr, nullptr},
        {"?q?/#f/?", nullptr, nullptr, "", nullptr, false, "", "q?/", "f/?"},
        {"a%20b/c:d@e", nullptr, nullptr, "", nullptr, false, "a%20b/c:d@e", nullptr, nullptr},
        {"http://h%/%zz?%2#%", "http", "h%", "h%", nullptr, false, "/%zz", "%2", "%"},
        {"", nullptr, nullptr, "", nullptr, false, "", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto uri = read_uri(c.text);
        ASSERT_TRUE(uri);
        const auto optional = [](const char* text) {
            return text ? std::optional<std::string>(text) : std::nullopt;
        };
        EXPECT_EQ(optional(c.scheme), uri->scheme);
        EXPECT_EQ(optional(c.authority), uri->authority);
        EXPECT_EQ(c.host, uri->host);
        EXPECT_EQ(optional(c.port), uri->port);
        EXPECT_EQ(c.user_info, uri->user_info);
        EXPECT_EQ(c.path, uri->path);
        EXPECT_EQ(optional(c.query), uri->query);
        EXPECT_EQ(optional(c.fragment), uri->fragment);
        EXPECT_EQ(c.text, uri_text(*uri));
    }
}

TEST(UriReading, RefusesWhatIsNoUri) {
    for (const char* text :
         {"http://a/b c", "http://a/\t", "http://a/\x7f", "http://a/\xc3\xa9", "1http://a/", "-x:y",
          ":x", "a b:c", "http://a b/", "http://[::1/", "http://[::1]x/", "http://a:8o/",
          "http://a:-1/", "http://a@b@c/", "http://a/?\"", "http://a/#<", "http://a\\b/",
          "http://a/{}", "http://a/|"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(read_uri(text));
    }
}

// RFC 3986 §5.4: every example of reference resolution, normal and abnormal.
TEST(UriResolving, FollowsTheExamplesOfTheStandard) {
    const auto base = read_uri("http://a/b/c/d;p?q");
    ASSERT_TRUE(base);
    const struct {
        const char* reference;
        const char* target;
    } cases[] = {
        {"g:h", "g:h"},
        {"g", "http://a/b/c/g"},
        {"./g", "http://a/b/c/g"},
        {"g/", "http://a/b/c/g/"},
        {"/g", "http://a/g"},
        {"//g", "http://g"},
        {"?y", "http://a/b/c/d;p?y"},
        {"g?y", "http://a/b/c/g?y"},
        {"#s", "http://a/b/c/d;p?q#s"},
        {"g#s", "http://a/b/c/g#s"},
        {"g?y#s", "http://a/b/c/g?y#s"},
        {";x", "http://a/b/c/;x"},
        {"g;x", "http://a/b/c/g;x"},
        {"g;x?y#s", "http://a/b/c/g;x?y#s"},
        {"", "http://a/b/c/d;p?q"},
        {".", "http://a/b/c/"},
        {"./", "http://a/b/c/"},
        {"..", "http://a/b/"},
        {"../", "http://a/b/"},
        {"../g", "http://a/b/g"},
        {"../..", "http://a/"},
        {"../../", "http://a/"},
        {"../../g", "http://a/g"},
        {"../../../g", "http://a/g"},
        {"../../../../g", "http://a/g"},
        {"/./g", "http://a/g"},
        {"/../g", "http://a/g"},
        {"g.", "http://a/b/c/g."},
        {".g", "http://a/b/c/.g"},
        {"g..", "http://a/b/c/g.."},
        {"..g", "http://a/b/c/..g"},
        {"./../g", "http://a/b/g"},
        {"./g/.", "http://a/b/c/g/"},
        {"g/./h", "http://a/b/c/g/h"},
        {"g/../h", "http://a/b/c/h"},
        {"g;x=1/./y", "http://a/b/c/g;x=1/y"},
        {"g;x=1/../y", "http://a/b/c/y"},
        {"g?y/./x", "http://a/b/c/g?y/./x"},
        {"g?y/../x", "http://a/b/c/g?y/../x"},
        {"g#s/./x", "http://a/b/c/g#s/./x"},
        {"g#s/../x", "http://a/b/c/g#s/../x"},
        {"http:g", "http:g"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reference);
        const auto reference = read_uri(c.reference);
        ASSERT_TRUE(reference);
        EXPECT_EQ(c.target, uri_text(resolve_uri(*base, *reference)));
    }
    // A base with an authority and no path gives the reference a root.
    EXPECT_EQ("http://a:81/g", uri_text(resolve_uri(*read_uri("http://a:81"), *read_uri("g"))));
}

}  // namespace
}  // namespace Http
