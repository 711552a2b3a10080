#include "discovery/upnp.hpp"

#include <cpprest/base_uri.h>
#include <gtest/gtest.h>

namespace UPnP {
namespace {

TEST(BridgeRules, MatchesOnNamesOrOnTheExactModelNumber) {
    struct Case {
        const char* friendly;
        const char* manufacturer;
        const char* model;
        bool bridge;
    } cases[] = {
        {"Den hue bridge (10.0.0.2)", "A Philips maker", "", true},
        {"my hue bridge", "A Philips maker", "XB-200", true},
        {"Den hue bridge (10.0.0.2)", "Philips", "", false},          // no blanks around
        {"Den hue bridge (10.0.0.2)", "A Philips", "", false},        // no trailing blank
        {"Den Hue bridge (10.0.0.2)", "A Philips maker", "", false},  // case
        {"Den hue", "A Philips maker", "", false},                    // no blank after
        {"hue bridge", "A Philips maker", "", false},                 // no blank before
        {"hue bridge", "A Philips maker", "929000226503", true},
        {"", "", "929000226503", true},
        {"", "", "929000226503 ", false},
        {"", "", " 929000226503", false},
        {"", "", "9290002265030", false},
        {"Den hue bridge (10.0.0.2)", "", "", false},
        {"Living room TV", "Some Maker Inc", "X1", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.friendly << " | " << c.manufacturer << " | " << c.model);
        Device device;
        device.FriendlyName = c.friendly;
        device.ManufacturerName = c.manufacturer;
        device.ModelNumber = c.model;
        EXPECT_EQ(c.bridge, is_bridge(device));
    }
}

TEST(PresentationHost, IsTheHostAlone) {
    struct Case {
        const char* url;
        const char* host;
    } cases[] = {
        {"http://192.168.1.2:80/", "192.168.1.2"},
        {"http://192.168.1.2/index.html", "192.168.1.2"},
        {"https://10.1.2.3:8443/a/b?c=d", "10.1.2.3"},
        {"index.html", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.url);
        Device device;
        device.PresentationURL = c.url;
        EXPECT_EQ(c.host, presentation_host(device));
    }
}

TEST(PresentationHost, InvalidUrlThrowsTheUriError) {
    Device device;
    device.PresentationURL = "http://192.168.1.2:80/a b";
    EXPECT_THROW(presentation_host(device), web::uri_exception);
}

TEST(UPnPDeviceFinderCallback, KeepsDevicesInOrderAndCompletesOnce) {
    pplx::task_completion_event<void> completion;
    UPnPDeviceFinderCallback callback(completion);
    Device first;
    first.SerialNumber = "1";
    Device second;
    second.SerialNumber = "2";
    callback.device_added(first);
    callback.device_added(second);
    callback.device_removed("uuid:1");
    const pplx::task<void> done = pplx::create_task(completion);
    EXPECT_FALSE(done.is_done());
    callback.search_complete();
    callback.search_complete();
    EXPECT_TRUE(done.is_done());
    const auto devices = callback.devices();
    ASSERT_EQ(2u, devices.size());
    EXPECT_EQ("1", devices[0].SerialNumber);
    EXPECT_EQ("2", devices[1].SerialNumber);
}

}  // namespace
}  // namespace UPnP
