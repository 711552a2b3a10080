#include "hue/bridge_id.hpp"

#include <gtest/gtest.h>

#include "json/parse.hpp"

namespace Hue {
namespace {

TEST(BridgeId, IsMadeFromTheMacAddressAroundFffe) {
    const struct {
        const char* mac;
        const char* id;  // nullptr: none
    } cases[] = {
        {"00:17:88:1a:2b:3c", "001788FFFE1A2B3C"},
        {"EC-B5-FA-0A-62-C3", "ECB5FAFFFE0A62C3"},
        {"00:17:88:1a:2b", nullptr},
        {"00:17:88:1a:2b:3g", nullptr},
        {"0017:881a:2b3c", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mac);
        const auto id = bridge_id_from_mac(c.mac);
        ASSERT_EQ(c.id != nullptr, id.has_value());
        if (c.id) {
            EXPECT_EQ(c.id, *id);
        }
    }
}

// The configuration's own id wins over the one its MAC address makes.
TEST(BridgeId, OfAConfigurationIsItsBridgeidElseMadeFromItsMac) {
    const struct {
        const char* json;
        const char* id;  // nullptr: none
    } cases[] = {
        {R"({"bridgeid": "ECB5FAFFFE0A62C3", "mac": "00:17:88:1a:2b:3c"})", "ECB5FAFFFE0A62C3"},
        {R"({"bridgeid": "", "mac": "00:17:88:1a:2b:3c"})", "001788FFFE1A2B3C"},
        {R"({"mac": "00:17:88:1a:2b:3c"})", "001788FFFE1A2B3C"},
        {R"({"name": "Hall"})", nullptr},
        {R"([{"error": {"type": 1}}])", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        const auto id = configuration_bridge_id(Json::parse(c.json));
        ASSERT_EQ(c.id != nullptr, id.has_value());
        if (c.id) {
            EXPECT_EQ(c.id, *id);
        }
    }
}

}  // namespace
}  // namespace Hue
