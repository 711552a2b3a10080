#include "discovery/upnp.hpp"

#include <cpprest/base_uri.h>
#include <gtest/gtest.h>

namespace UPnP {
namespace {

TEST(BridgeRules, MatchesOnNamesOrOnTheExactModelNumber) {
    struct Case {
        const wchar_t* friendly;
        const wchar_t* manufacturer;
        const wchar_t* model;
        bool bridge;
    } cases[] = {
        {L"Den hue bridge (10.0.0.2)", L"A Philips maker", L"", true},
        {L"my hue bridge", L"A Philips maker", L"XB-200", true},
        {L"Den hue bridge (10.0.0.2)", L"Philips", L"", false},          // no blanks around
        {L"Den hue bridge (10.0.0.2)", L"A Philips", L"", false},        // no trailing blank
        {L"Den Hue bridge (10.0.0.2)", L"A Philips maker", L"", false},  // case
        {L"Den hue", L"A Philips maker", L"", false},                    // no blank after
        {L"hue bridge", L"A Philips maker", L"", false},                 // no blank before
        {L"hue bridge", L"A Philips maker", L"929000226503", true},
        {L"", L"", L"929000226503", true},
        {L"", L"", L"929000226503 ", false},
        {L"", L"", L" 929000226503", false},
        {L"", L"", L"9290002265030", false},
        {L"Den hue bridge (10.0.0.2)", L"", L"", false},
        {L"Living room TV", L"Some Maker Inc", L"X1", false},
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
        const wchar_t* url;
        const wchar_t* host;
    } cases[] = {
        {L"http://192.168.1.2:80/", L"192.168.1.2"},
        {L"http://192.168.1.2/index.html", L"192.168.1.2"},
        {L"https://10.1.2.3:8443/a/b?c=d", L"10.1.2.3"},
        {L"index.html", L""},
        {L"", L""},
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
    device.PresentationURL = L"http://192.168.1.2:80/a b";
    EXPECT_THROW(presentation_host(device), web::uri_exception);
}

TEST(UPnPDeviceFinderCallback, KeepsDevicesInOrderAndCompletesOnce) {
    pplx::task_completion_event<void> completion;
    UPnPDeviceFinderCallback callback(completion);
    Device first;
    first.SerialNumber = L"1";
    Device second;
    second.SerialNumber = L"2";
    callback.device_added(first);
    callback.device_added(second);
    callback.device_removed(L"uuid:1");
    const pplx::task<void> done = pplx::create_task(completion);
    EXPECT_FALSE(done.is_done());
    callback.search_complete();
    callback.search_complete();
    EXPECT_TRUE(done.is_done());
    const auto devices = callback.devices();
    ASSERT_EQ(2u, devices.size());
    EXPECT_EQ(L"1", devices[0].SerialNumber);
    EXPECT_EQ(L"2", devices[1].SerialNumber);
}

}  // namespace
}  // namespace UPnP
