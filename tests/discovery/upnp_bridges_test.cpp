#include "discovery/upnp_bridges.hpp"

#include <cpprest/base_uri.h>
#include <gtest/gtest.h>

namespace UPnP {
namespace {

Device device(const wchar_t* serial, const wchar_t* model, const wchar_t* url) {
    Device d;
    d.SerialNumber = serial;
    d.ModelNumber = model;
    d.PresentationURL = url;
    return d;
}

TEST(UpnpBridges, KeepsBridgesInOrderWithTheirHostsAndDuplicates) {
    const auto bridges = upnp_bridges({
        device(L"a", L"929000226503", L"http://192.168.1.2:80/"),
        device(L"tv", L"X1", L"http://192.168.1.3/"),
        device(L"b", L"929000226503", L"http://192.168.1.4/index.html"),
        device(L"nohost", L"929000226503", L""),
        device(L"a", L"929000226503", L"http://192.168.1.2:80/"),
    });
    ASSERT_EQ(3u, bridges.size());
    EXPECT_EQ(L"a", bridges[0].id());
    EXPECT_EQ(L"192.168.1.2", bridges[0].ip());
    EXPECT_EQ(L"", bridges[0].mac());
    EXPECT_EQ(L"b", bridges[1].id());
    EXPECT_EQ(L"192.168.1.4", bridges[1].ip());
    EXPECT_EQ(L"a", bridges[2].id());
}

TEST(UpnpBridges, BadPresentationUrlOfABridgeThrows) {
    EXPECT_THROW(upnp_bridges({device(L"a", L"929000226503", L"http://1.2.3.4/a b")}),
                 web::uri_exception);
    // Only bridges' URLs are read.
    EXPECT_TRUE(upnp_bridges({device(L"tv", L"X1", L"http://1.2.3.4/a b")}).empty());
}

}  // namespace
}  // namespace UPnP
