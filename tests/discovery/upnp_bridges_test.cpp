#include "discovery/upnp_bridges.hpp"

#include <stdexcept>

#include <gtest/gtest.h>

namespace UPnP {
namespace {

Device device(const char* serial, const char* model, const char* url) {
    Device d;
    d.SerialNumber = serial;
    d.ModelNumber = model;
    d.PresentationURL = url;
    return d;
}

TEST(UpnpBridges, KeepsBridgesInOrderWithTheirHostsAndDuplicates) {
    const auto bridges = upnp_bridges({
        device("a", "929000226503", "http://192.168.1.2:80/"),
        device("tv", "X1", "http://192.168.1.3/"),
        device("b", "929000226503", "http://192.168.1.4/index.html"),
        device("nohost", "929000226503", ""),
        device("a", "929000226503", "http://192.168.1.2:80/"),
        device("v6", "929000226503", "http://[::1]:8123/"),
        device("bad", "929000226503", "http://192.168.1.5:99999/"),
        device("name", "929000226503", "http://bridge.invalid:80/"),
        device("localhost", "929000226503", "http://localhost/"),
    });
    ASSERT_EQ(4u, bridges.size());
    EXPECT_EQ("a", bridges[0].id());
    EXPECT_EQ("192.168.1.2", bridges[0].endpoint().host);
    EXPECT_EQ("", bridges[0].mac());
    EXPECT_EQ("b", bridges[1].id());
    EXPECT_EQ("192.168.1.4", bridges[1].endpoint().host);
    EXPECT_EQ("a", bridges[2].id());
    EXPECT_EQ(80, bridges[2].endpoint().port);
    EXPECT_EQ("::1", bridges[3].endpoint().host);
    EXPECT_EQ(8123, bridges[3].endpoint().port);
}

TEST(UpnpBridges, BadPresentationUrlOfABridgeThrows) {
    EXPECT_THROW(upnp_bridges({device("a", "929000226503", "http://1.2.3.4/a b")}),
                 std::invalid_argument);
    // Only bridges' URLs are read.
    EXPECT_TRUE(upnp_bridges({device("tv", "X1", "http://1.2.3.4/a b")}).empty());
}

}  // namespace
}  // namespace UPnP
