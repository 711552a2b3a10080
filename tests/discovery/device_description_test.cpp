#include "discovery/device_description.hpp"

#include <gtest/gtest.h>

#include "sim/ssdp_responder.hpp"

namespace UPnP {
namespace {

const char* const kLocation = "http://192.168.1.2:80/description.xml";

Sim::DeviceFields bridge_fields() {
    Sim::DeviceFields f;
    f.device_type = "urn:schemas-upnp-org:device:Basic:1";
    f.friendly_name = "Den hue bridge (192.168.1.2)";
    f.manufacturer = "A Philips maker";
    f.manufacturer_url = "http://www.example.com/";
    f.model_description = "Bridge & lights <1>";
    f.model_name = "bridge 2012";
    f.model_number = "929000226503";
    f.model_url = "http://www.example.com/model";
    f.serial_number = "0200aa0a1b2c";
    f.udn = "uuid:5e1c0000-0000-4000-8000-0200aa0a1b2c";
    f.presentation_url = "index.html";
    return f;
}

std::optional<Device> read(const std::string& xml) {
    return read_device_description(xml, kLocation);
}

TEST(DeviceDescriptionReading, ReadsEveryField) {
    const auto device = read(Sim::render_description(bridge_fields()));
    ASSERT_TRUE(device);
    EXPECT_TRUE(device->IsRootDevice);
    EXPECT_FALSE(device->HasChildren);
    EXPECT_EQ("uuid:5e1c0000-0000-4000-8000-0200aa0a1b2c", device->UniqueDeviceName);
    EXPECT_EQ("Den hue bridge (192.168.1.2)", device->FriendlyName);
    EXPECT_EQ("urn:schemas-upnp-org:device:Basic:1", device->Type);
    EXPECT_EQ("http://192.168.1.2:80/index.html", device->PresentationURL);
    EXPECT_EQ("A Philips maker", device->ManufacturerName);
    EXPECT_EQ("http://www.example.com/", device->ManufacturerURL);
    EXPECT_EQ("bridge 2012", device->ModelName);
    EXPECT_EQ("929000226503", device->ModelNumber);
    EXPECT_EQ("Bridge & lights <1>", device->Description);
    EXPECT_EQ("http://www.example.com/model", device->ModelURL);
    EXPECT_EQ("", device->UPC);
    EXPECT_EQ("0200aa0a1b2c", device->SerialNumber);
}

TEST(DeviceDescriptionReading, MissingFieldsStayEmptyAndTextsKeepTheirBlanks) {
    const auto device = read(
        "<root xmlns=\"urn:schemas-upnp-org:device-1-0\"><device>"
        "<friendlyName> Lamp \xc3\xa9 </friendlyName><UPC>0123</UPC></device></root>");
    ASSERT_TRUE(device);
    EXPECT_EQ(" Lamp \u00e9 ", device->FriendlyName);
    EXPECT_EQ("0123", device->UPC);
    EXPECT_EQ("", device->SerialNumber);
    EXPECT_EQ("", device->ModelNumber);
    EXPECT_EQ("", device->PresentationURL);
    EXPECT_TRUE(device->IsRootDevice);
}

TEST(DeviceDescriptionReading, HasChildrenOnlyWhenTheDeviceListHoldsADevice) {
    struct Case {
        const char* inner;
        bool children;
    } cases[] = {
        {"<deviceList><device><UDN>uuid:c</UDN></device></deviceList>", true},
        {"<deviceList></deviceList>", false},
        {"<serviceList><service/></serviceList>", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.inner);
        const auto device =
            read(std::string("<root><device><UDN>uuid:r</UDN>") + c.inner + "</device></root>");
        ASSERT_TRUE(device);
        EXPECT_EQ(c.children, device->HasChildren);
        EXPECT_EQ("uuid:r", device->UniqueDeviceName);  // the root's, not the child's
    }
}

TEST(DeviceDescriptionReading, ResolvesThePresentationUrl) {
    struct Case {
        const char* url_base;
        const char* presentation;
        const char* expected;
    } cases[] = {
        {"", "index.html", "http://192.168.1.2:80/index.html"},
        {"", "/ui/index.html", "http://192.168.1.2:80/ui/index.html"},
        {"http://192.168.1.9:8080/base/", "index.html", "http://192.168.1.9:8080/base/index.html"},
        {"not a url", "index.html", "http://192.168.1.2:80/index.html"},
        {"", "http://192.168.1.7/", "http://192.168.1.7/"},
        {"http://192.168.1.9/", "http://192.168.1.7/", "http://192.168.1.7/"},
        {"", "  http://192.168.1.7/ \n", "http://192.168.1.7/"},
        {"", "", ""},
        {"http://192.168.1.9/a/b/c", "../d/./index.html?x#top",
         "http://192.168.1.9/a/d/index.html?x#top"},
        {"", "//192.168.1.8:81/ui", "http://192.168.1.8:81/ui"},
        {"", "?page=1", "http://192.168.1.2:80/description.xml?page=1"},
        {"http://192.168.1.9", "index.html", "http://192.168.1.9/index.html"},
        {"/relative/base/", "index.html", "http://192.168.1.2:80/index.html"},
        {"", "a b.html", "a b.html"},  // no URI: kept as written
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.url_base) + " | " + c.presentation);
        Sim::DeviceFields f = bridge_fields();
        f.url_base = c.url_base;
        f.presentation_url = c.presentation;
        const auto device = read(Sim::render_description(f));
        ASSERT_TRUE(device);
        EXPECT_EQ(c.expected, device->PresentationURL);
    }
}

TEST(DeviceDescriptionReading, AcceptsPrefixedNamesAndUtf16) {
    auto device = read(
        "<u:root xmlns:u=\"urn:schemas-upnp-org:device-1-0\"><u:device>"
        "<u:serialNumber>42</u:serialNumber></u:device></u:root>");
    ASSERT_TRUE(device);
    EXPECT_EQ("42", device->SerialNumber);

    const std::string ascii = "<root><device><serialNumber>7</serialNumber></device></root>";
    std::string utf16 = "\xff\xfe";  // little-endian byte order mark
    for (char c : ascii) utf16 += std::string{c, '\0'};
    device = read(utf16);
    ASSERT_TRUE(device);
    EXPECT_EQ("7", device->SerialNumber);
}

TEST(DeviceDescriptionReading, RefusesDocumentsWithoutARootDevice) {
    const char* cases[] = {
        "",
        "not xml at all",
        "{\"json\": true}",
        "<root><device><friendlyName>unclosed</device></root>",
        "<root></root>",
        "<root><specVersion/></root>",
        "<scpd><device/></scpd>",
        "<?xml version=\"1.0\"?>",
        "<root><device></root>",
    };
    for (const char* c : cases) {
        SCOPED_TRACE(c);
        EXPECT_FALSE(read(c));
    }
}

TEST(DeviceDescriptionReading, DoesNotExpandDocumentTypeEntities) {
    const auto device = read(
        "<!DOCTYPE root [<!ENTITY e \"expanded\">]>"
        "<root><device><friendlyName>&e;</friendlyName></device></root>");
    if (device) {
        EXPECT_EQ(std::string::npos, device->FriendlyName.find("expanded"));
    }
}

}  // namespace
}  // namespace UPnP
