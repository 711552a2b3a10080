#include "discovery/upnp.hpp"

#include <stdexcept>
#include <string>
#include <vector>

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

TEST(PresentationUrl, GivesTheHostAloneAndThePort) {
    struct Case {
        const char* url;
        const char* host;
        unsigned short port;
    } cases[] = {
        {"http://192.168.1.2:80/", "192.168.1.2", 80},
        {"http://192.168.1.2/index.html", "192.168.1.2", 80},
        {"https://10.1.2.3:8443/a/b?c=d", "10.1.2.3", 8443},
        {"https://10.1.2.3/", "10.1.2.3", 80},  // no port named: 80 whatever the scheme
        {"http://[::1]:8123/", "[::1]", 8123},
        {"http://[FE80::A]/", "[fe80::a]", 80},
        {"HTTP://Bridge.Example:81/", "bridge.example", 81},
        {"http://user@10.1.2.3:81/", "10.1.2.3", 81},
        {"http://10.1.2.3:/", "10.1.2.3", 80},
        {"http://10.1.2.3:65535/", "10.1.2.3", 65535},
        {"http://10.1.2.3:65536/", "10.1.2.3", 0},
        {"http://10.1.2.3:0/", "10.1.2.3", 0},
        {"http://10.1.2.3:99999999999999999999/", "10.1.2.3", 0},
        {"index.html", "", 80},
        {"", "", 80},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.url);
        Device device;
        device.PresentationURL = c.url;
        EXPECT_EQ(c.host, presentation_host(device));
        EXPECT_EQ(c.port, presentation_port(device));
    }
}

TEST(PresentationUrl, OneThatIsNoUriThrows) {
    for (const char* url : {"http://192.168.1.2:80/a b", "http://192.168.1.2:8o/", "1http://a/"}) {
        SCOPED_TRACE(url);
        Device device;
        device.PresentationURL = url;
        try {
            presentation_host(device);
            ADD_FAILURE() << "read";
        } catch (const std::invalid_argument& e) {
            EXPECT_EQ(std::string("provided uri is invalid: ") + url, e.what());
        }
        EXPECT_THROW(presentation_port(device), std::invalid_argument);
    }
}

TEST(UPnPDeviceFinderCallback, KeepsDevicesInOrderAndCompletesOnce) {
    std::vector<std::vector<Device>> completions;
    UPnPDeviceFinderCallback callback(
        [&completions](std::vector<Device> devices) { completions.push_back(devices); });
    Device first;
    first.SerialNumber = "1";
    Device second;
    second.SerialNumber = "2";
    callback.device_added(first);
    callback.device_added(second);
    EXPECT_TRUE(completions.empty());
    callback.search_complete();
    callback.search_complete();
    ASSERT_EQ(1u, completions.size());
    ASSERT_EQ(2u, completions[0].size());
    EXPECT_EQ("1", completions[0][0].SerialNumber);
    EXPECT_EQ("2", completions[0][1].SerialNumber);
    EXPECT_EQ(2u, callback.devices().size());
}

}  // namespace
}  // namespace UPnP
