#include "cli/environment_settings.hpp"

#include <map>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

namespace Cli {
namespace {

// Reads the settings from `variables` alone.
Commands::Settings settings_from(const std::map<std::string, std::string>& variables,
                                 bool terminal = false) {
    return read_settings(
        [&variables](const char* name) -> const char* {
            const auto found = variables.find(name);
            return found == variables.end() ? nullptr : found->second.c_str();
        },
        terminal);
}

TEST(ReadSettings, DefaultsWithoutTheVariables) {
    const Commands::Settings settings = settings_from({});
    EXPECT_EQ("", settings.portal);  // no portal is asked
    EXPECT_TRUE(settings.mdns.enabled);
    EXPECT_EQ("", settings.mdns.address);  // the multicast groups
    EXPECT_EQ(5353, settings.mdns.port);
    EXPECT_EQ("239.255.255.250", settings.ssdp.address);
    EXPECT_EQ(1900, settings.ssdp.port);
    EXPECT_EQ(3000, settings.ssdp.window.count());
    EXPECT_EQ(90000, settings.find_wait.count());
    EXPECT_EQ(30000, settings.client.timeout.count());
    EXPECT_EQ(3000, settings.ssdp.fetch_timeout.count());
    EXPECT_EQ(3000, settings.mdns.config_timeout.count());
}

TEST(ReadSettings, ReadsOrRefusesEachVariable) {
    const char kPortalRule[] = "Error: GLOWRIG_PORTAL must be host[:port] or an http(s) URL.";
    struct Case {
        const char* name;
        const char* value;
        const char* failure;  // null when the value is read
    } cases[] = {
        {"GLOWRIG_SSDP", "", nullptr},
        {"GLOWRIG_SSDP", "127.0.0.1:5000", nullptr},
        {"GLOWRIG_SSDP", "[::1]:5000", nullptr},
        {"GLOWRIG_SSDP", "127.0.0.1", "Error: GLOWRIG_SSDP must be host:port."},
        {"GLOWRIG_SSDP", "127.0.0.1:", "Error: GLOWRIG_SSDP must be host:port."},
        {"GLOWRIG_SSDP", "127.0.0.1:0", "Error: GLOWRIG_SSDP must be host:port."},
        {"GLOWRIG_SSDP", "127.0.0.1:65536", "Error: GLOWRIG_SSDP must be host:port."},
        {"GLOWRIG_SSDP", "localhost:1900", "Error: GLOWRIG_SSDP must be host:port."},
        {"GLOWRIG_SSDP", "::1:5000", "Error: GLOWRIG_SSDP must be host:port."},
        {"GLOWRIG_MDNS", "127.0.0.1:5353", nullptr},
        {"GLOWRIG_BRIDGE", "https://[::1]:8443", nullptr},
        {"GLOWRIG_BRIDGE", "0200AAfffe0A1B2C", nullptr},
        {"GLOWRIG_BRIDGE", "0200aafffe0a1b2",
         "Error: GLOWRIG_BRIDGE must be an address or a bridge id."},
        {"GLOWRIG_BRIDGE", "0200aafffe0a1b2g",
         "Error: GLOWRIG_BRIDGE must be an address or a bridge id."},
        {"GLOWRIG_BRIDGE", "bridge.local",
         "Error: GLOWRIG_BRIDGE must be an address or a bridge id."},
        {"GLOWRIG_MDNS", "off", nullptr},
        {"GLOWRIG_MDNS", "OFF", "Error: GLOWRIG_MDNS must be host:port or off."},
        {"GLOWRIG_MDNS", "127.0.0.1", "Error: GLOWRIG_MDNS must be host:port or off."},
        {"GLOWRIG_MDNS", "bridge.local:5353", "Error: GLOWRIG_MDNS must be host:port or off."},
        {"GLOWRIG_SSDP_WINDOW_MS", "0", nullptr},
        {"GLOWRIG_SSDP_WINDOW_MS", "-5", "Error: GLOWRIG_SSDP_WINDOW_MS must be 0 to 60000."},
        {"GLOWRIG_SSDP_WINDOW_MS", "60001", "Error: GLOWRIG_SSDP_WINDOW_MS must be 0 to 60000."},
        {"GLOWRIG_SSDP_WINDOW_MS", "3s", "Error: GLOWRIG_SSDP_WINDOW_MS must be 0 to 60000."},
        {"GLOWRIG_PORTAL", "127.0.0.1:8080", nullptr},
        {"GLOWRIG_PORTAL", "portal.example", nullptr},
        {"GLOWRIG_PORTAL", "[::1]:8080", nullptr},
        {"GLOWRIG_PORTAL", "http://127.0.0.1:8080/v1/bridges?all", nullptr},
        {"GLOWRIG_PORTAL", "https://portal.example", nullptr},
        {"GLOWRIG_PORTAL", "https://[::1]/", nullptr},
        {"GLOWRIG_PORTAL", "host/path", kPortalRule},
        {"GLOWRIG_PORTAL", "a b", kPortalRule},
        {"GLOWRIG_PORTAL", "127.0.0.1:65536", kPortalRule},
        {"GLOWRIG_PORTAL", "127.0.0.1:0", kPortalRule},
        {"GLOWRIG_PORTAL", "ftp://portal.example/", kPortalRule},
        {"GLOWRIG_PORTAL", "https://user@portal.example/", kPortalRule},
        {"GLOWRIG_PORTAL", "https://portal.example:0/", kPortalRule},
        {"GLOWRIG_PORTAL", "https://portal_1.example/", kPortalRule},
        {"GLOWRIG_PORTAL", "http://10.1/", kPortalRule},
        {"GLOWRIG_PORTAL", "https://", kPortalRule},
        {"GLOWRIG_FIND_WAIT_MS", "0", nullptr},
        {"GLOWRIG_FIND_WAIT_MS", "600000", nullptr},
        {"GLOWRIG_FIND_WAIT_MS", "600001", "Error: GLOWRIG_FIND_WAIT_MS must be 0 to 600000."},
        {"GLOWRIG_FIND_WAIT_MS", "99999999999999999999",
         "Error: GLOWRIG_FIND_WAIT_MS must be 0 to 600000."},
        {"GLOWRIG_FIND_WAIT_MS", "soon", "Error: GLOWRIG_FIND_WAIT_MS must be 0 to 600000."},
        {"GLOWRIG_TIMEOUT_MS", "2500", nullptr},
        {"GLOWRIG_TIMEOUT_MS", "0", "Error: GLOWRIG_TIMEOUT_MS must be 1 to 600000."},
        {"GLOWRIG_TIMEOUT_MS", "1", nullptr},
        {"GLOWRIG_TIMEOUT_MS", "600000", nullptr},
        {"GLOWRIG_TIMEOUT_MS", "600001", "Error: GLOWRIG_TIMEOUT_MS must be 1 to 600000."},
        {"GLOWRIG_SSDP_WINDOW_MS", "60000", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "=" + c.value);
        try {
            settings_from({{c.name, c.value}});
            EXPECT_EQ(nullptr, c.failure);
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(c.failure, e.what());
        }
    }
    const Commands::Settings read = settings_from({{"GLOWRIG_SSDP", "[::1]:5000"},
                                                   {"GLOWRIG_SSDP_WINDOW_MS", "250"},
                                                   {"GLOWRIG_PORTAL", "127.0.0.1:8080"},
                                                   {"GLOWRIG_FIND_WAIT_MS", "7"},
                                                   {"GLOWRIG_MDNS", "[::1]:5354"},
                                                   {"GLOWRIG_TIMEOUT_MS", "2500"}});
    EXPECT_EQ("::1", read.mdns.address);
    EXPECT_EQ(5354, read.mdns.port);
    EXPECT_EQ(2500, read.mdns.config_timeout.count());  // bounded by the request time-out
    EXPECT_EQ(2500, read.ssdp.fetch_timeout.count());
    EXPECT_FALSE(settings_from({{"GLOWRIG_MDNS", "off"}}).mdns.enabled);
    EXPECT_EQ("::1", read.ssdp.address);
    EXPECT_EQ(5000, read.ssdp.port);
    EXPECT_EQ(250, read.ssdp.window.count());
    EXPECT_EQ("127.0.0.1:8080", read.portal);
    EXPECT_EQ(7, read.find_wait.count());
    EXPECT_EQ(2500, read.client.timeout.count());
}

TEST(ReadSettings, ColourOnlyOnATerminalThatTakesItOrWhenForced) {
    const struct {
        std::map<std::string, std::string> variables;
        bool terminal;
        bool colour;
    } cases[] = {
        {{{"TERM", "xterm"}}, true, true},
        {{{"TERM", "xterm"}}, false, false},  // a pipe
        {{{"TERM", "dumb"}}, true, false},
        {{}, true, false},
        {{{"TERM", "xterm"}, {"NO_COLOR", "1"}}, true, false},
        {{{"TERM", "xterm"}, {"NO_COLOR", ""}}, true, true},
        {{{"CLICOLOR_FORCE", "1"}}, false, true},
        {{{"CLICOLOR_FORCE", "0"}, {"TERM", "dumb"}}, true, false},
        {{{"CLICOLOR_FORCE", "1"}, {"NO_COLOR", "1"}}, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.variables) + (c.terminal ? " terminal" : " pipe"));
        EXPECT_EQ(c.colour, settings_from(c.variables, c.terminal).colour);
    }
}

TEST(ReadSettings, CredentialsFileUnderTheConfigurationHome) {
    struct Case {
        std::map<std::string, std::string> variables;
        const char* file;
    } cases[] = {
        {{{"XDG_CONFIG_HOME", "/x/cfg"}, {"HOME", "/home/u"}}, "/x/cfg/glowrig/bridges.json"},
        {{{"XDG_CONFIG_HOME", ""}, {"HOME", "/home/u"}}, "/home/u/.config/glowrig/bridges.json"},
        {{{"XDG_CONFIG_HOME", "cfg"}, {"HOME", "/home/u"}}, "/home/u/.config/glowrig/bridges.json"},
        {{}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(c.file, settings_from(c.variables).credentials_file);
    }
    EXPECT_FALSE(settings_from({}).default_bridge);
    const auto by_address = settings_from({{"GLOWRIG_BRIDGE", "10.0.0.5"}}).default_bridge;
    ASSERT_TRUE(by_address && by_address->location);
    EXPECT_EQ("10.0.0.5", by_address->location->host);
    const auto by_id = settings_from({{"GLOWRIG_BRIDGE", "001788FFFE1A2B3C"}}).default_bridge;
    ASSERT_TRUE(by_id);
    EXPECT_FALSE(by_id->location);
    EXPECT_EQ("001788FFFE1A2B3C", by_id->id);
}

}  // namespace
}  // namespace Cli
