#include "hue/bridge.hpp"

#include <optional>

#include <gtest/gtest.h>

#include "hue/client.hpp"

namespace Hue {
namespace {

const Http::Options kConfig;

std::string url_of(const Client& client) { return Http::url_text(client.base()); }

TEST(BridgeUrls, ResourceClientsFollowTheUserAndResource) {
    const Bridge bridge("", {.host = "192.0.2.7"});
    const AppIdentity identity{"glowrig", "hostroot"};
    EXPECT_EQ("http://192.0.2.7/api/hostroot/lights",
              url_of(bridge.make_client(identity, "lights", kConfig)));
    EXPECT_EQ("http://192.0.2.7/api/hostroot", url_of(bridge.make_client(identity, "", kConfig)));
    EXPECT_EQ("http://192.0.2.7/api",
              url_of(bridge.make_client(identity, "config", kConfig).with_path("api")));
    EXPECT_EQ("http://[::1]/api/hostroot/config",
              url_of(Bridge("", {.host = "::1"}).make_client(identity, "config", kConfig)));
    // Another port goes into every URL, the whitelist's included.
    const Client at_port =
        Bridge("", {.host = "192.0.2.7", .port = 8080}).make_client(identity, "", kConfig);
    EXPECT_EQ("http://192.0.2.7:8080/api/hostroot", url_of(at_port));
    EXPECT_EQ("http://192.0.2.7:8080/api", url_of(at_port.with_path("api")));
    const Client v6 =
        Bridge("", {.host = "::1", .port = 8080}).make_client(identity, "config", kConfig);
    EXPECT_EQ("http://[::1]:8080/api", url_of(v6.with_path("api")));
    const Client tls = Bridge("", {.scheme = Scheme::Https, .host = "192.0.2.7", .port = 443})
                           .make_client(identity, "", kConfig);
    EXPECT_EQ("https://192.0.2.7/api/hostroot", url_of(tls));
}

TEST(BridgeValue, DefaultAndCopiesShareOneRecord) {
    const Bridge empty;
    EXPECT_EQ("", empty.id());
    EXPECT_EQ("", empty.endpoint().host);
    EXPECT_EQ("", empty.mac());
    const Bridge one("id1", {.host = "10.0.0.2"}, "00:17");
    const Bridge copy = one;
    EXPECT_EQ("id1", copy.id());
    EXPECT_EQ("10.0.0.2", copy.endpoint().host);
    EXPECT_EQ("00:17", copy.mac());
}

// A bridge given another id keeps where it answers, its MAC and its
// certificate check: a pinned bridge never loses its pin on the way.
TEST(BridgeValue, AnotherIdKeepsTheEndpointAndTheCheck) {
    const Bridge checked =
        Bridge("", {.scheme = Scheme::Https, .host = "::1", .port = 8443, .target = "/x"}, "m")
            .with_certificate_check([](const Http::Certificate&) { return std::nullopt; });
    const Bridge named = checked.with_id("id2");
    EXPECT_EQ("", checked.id());
    EXPECT_EQ("id2", named.id());
    EXPECT_EQ("m", named.mac());
    EXPECT_EQ("https://[::1]:8443/", Http::url_text(named.endpoint()));
    EXPECT_TRUE(named.make_client({"glowrig", "u"}, "", kConfig).options().check);
}

}  // namespace
}  // namespace Hue
