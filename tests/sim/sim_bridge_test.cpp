#include "sim/sim_bridge.hpp"

#include <fstream>
#include <sstream>
#include <string>

#include <cpprest/json.h>
#include <gtest/gtest.h>

namespace Sim {
namespace {

using web::json::value;

// The id a simulated bridge announces (mDNS) and the name its certificate
// carries: the configuration's "bridgeid", else the id its "mac" makes as
// bridges make theirs; the description's serial number is announced, never
// certified.
TEST(SimBridgeId, ComesFromTheConfigurationElseFromTheMacAddress) {
    const struct {
        const char* what;
        const char* config;  // the fixture's "config"
        const char* announced;
        const char* certified;
    } cases[] = {
        {"bridgeid beside another mac",
         R"({"bridgeid":"0200AAFFFE0A1B2C","mac":"00:17:88:1a:2b:3c"})", "0200AAFFFE0A1B2C",
         "0200aafffe0a1b2c"},
        {"mac alone", R"({"mac":"00:17:88:1a:2b:3c"})", "001788FFFE1A2B3C", "001788fffe1a2b3c"},
        {"mac in upper case", R"({"mac":"AB:CD:EF:01:23:45"})", "ABCDEFFFFE012345",
         "abcdeffffe012345"},
        {"mac one pair short", R"({"mac":"00:17:88:1a:2b"})", "serial-1", ""},
        {"mac one digit long", R"({"mac":"00:17:88:1a:2b:3c0"})", "serial-1", ""},
        {"mac with a digit that is not hex", R"({"mac":"00:17:88:1a:2b:3g"})", "serial-1", ""},
        {"mac with dashes", R"({"mac":"00-17-88-1a-2b-3c"})", "serial-1", ""},
        {"mac without separators", R"({"mac":"0017881a2b3c"})", "serial-1", ""},
        {"bridgeid that is not text", R"({"bridgeid":7,"mac":"00:17:88:1a:2b:3c"})",
         "001788FFFE1A2B3C", "001788fffe1a2b3c"},
        {"neither", R"({"name":"Hall"})", "serial-1", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        value fixture = value::parse(R"({"description":{"serialNumber":"serial-1"}})");
        fixture["state"]["config"] = value::parse(c.config);
        const SimBridge bridge(fixture);
        EXPECT_EQ(c.announced, bridge.bridge_id());
        EXPECT_EQ(c.certified, bridge.certificate_name());
    }
    EXPECT_EQ("", SimBridge(value::object()).bridge_id());
}

// An id made from the MAC address is the simulator's own: the configuration
// the bridge shows still has no "bridgeid", as old firmware's had none.
TEST(SimBridgeId, MadeFromTheMacIsNotAddedToTheConfiguration) {
    SimBridge bridge(
        value::parse(R"({"state":{"config":{"name":"Hall","mac":"00:17:88:1a:2b:3c"}}})"));
    const value shown = value::parse(bridge.handle("GET", "/api/config", "").body);
    EXPECT_EQ("00:17:88:1a:2b:3c", shown.at("mac").as_string());
    EXPECT_FALSE(shown.has_field("bridgeid"));
}

// The bundled sample names the id its MAC address makes, in every place that
// carries it.
TEST(SimBridgeId, TheSampleIsConsistent) {
    std::ifstream in(std::string(GLOWRIG_TEST_DATA) + "/../../fixtures/sample.json");
    std::stringstream text;
    text << in.rdbuf();
    const value sample = value::parse(text.str());
    const value& config = sample.at("state").at("config");
    const std::string id = config.at("bridgeid").as_string();
    EXPECT_EQ(bridge_id_from_mac(config.at("mac").as_string()), id);
    EXPECT_EQ("0200AAFFFE0A1B2C", id);
    std::string lower = id;
    for (auto& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(lower, sample.at("portal").at(0).at("id").as_string());
    EXPECT_EQ(lower, sample.at("description").at("serialNumber").as_string());
    EXPECT_EQ(lower, SimBridge(sample).certificate_name());
}

}  // namespace
}  // namespace Sim
