#include "cli/environment_settings.hpp"

#include <algorithm>
#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>

#include "commands/usage_error.hpp"
#include "discovery/portal.hpp"
#include "hue/address.hpp"

namespace Cli {
namespace {

[[noreturn]] void refuse(const char* name, const char* rule) {
    throw Commands::UsageError(std::string("Error: ") + name + " must be " + rule + ".");
}

// The value of `name`, or nullopt when it is unset or empty.
std::optional<std::string> value_of(const Environment& environment, const char* name) {
    const char* text = environment(name);
    if (text == nullptr || *text == '\0') return std::nullopt;
    return std::string(text);
}

// Reads a whole number of milliseconds in low..high.
std::optional<std::chrono::milliseconds> milliseconds(const Environment& environment,
                                                      const char* name, long low, long high) {
    const auto text = value_of(environment, name);
    if (!text) return std::nullopt;
    const std::string rule = std::to_string(low) + " to " + std::to_string(high);
    if (text->size() > 9 || text->find_first_not_of("0123456789") != std::string::npos) {
        refuse(name, rule.c_str());
    }
    const long value = std::stol(*text);
    if (value < low || value > high) refuse(name, rule.c_str());
    return std::chrono::milliseconds(value);
}

// Reads "ip:port" or "[ipv6]:port": a bridge address that names its port.
std::optional<Http::Endpoint> ip_and_port(const std::string& text) {
    constexpr Http::EndpointForms kIpAndPort{.host_port = true};
    return Http::read_endpoint(text, kIpAndPort);
}

// Where the user names granted by bridges are kept: under XDG_CONFIG_HOME,
// else under HOME's ".config"; empty when neither is set. A relative
// XDG_CONFIG_HOME counts as unset, as the base directory rules say.
std::string credentials_file(const Environment& environment) {
    const auto config_home = value_of(environment, "XDG_CONFIG_HOME");
    if (config_home && config_home->front() == '/') return *config_home + "/glowrig/bridges.json";
    const auto home = value_of(environment, "HOME");
    if (home) return *home + "/.config/glowrig/bridges.json";
    return std::string();
}

}  // namespace

Commands::Settings read_settings(const Environment& environment, bool terminal) {
    Commands::Settings settings;
    if (const auto portal = value_of(environment, "GLOWRIG_PORTAL")) {
        if (!Discovery::portal_endpoint(*portal)) {
            refuse("GLOWRIG_PORTAL", "host[:port] or an http(s) URL");
        }
        settings.portal = *portal;
    }
    if (const auto ssdp = value_of(environment, "GLOWRIG_SSDP")) {
        const auto address = ip_and_port(*ssdp);
        if (!address) refuse("GLOWRIG_SSDP", "host:port");
        settings.ssdp.address = address->host;
        settings.ssdp.port = address->port;
    }
    if (const auto mdns = value_of(environment, "GLOWRIG_MDNS")) {
        if (*mdns == "off") {
            settings.mdns.enabled = false;
        } else {
            const auto address = ip_and_port(*mdns);
            if (!address) refuse("GLOWRIG_MDNS", "host:port or off");
            settings.mdns.address = address->host;
            settings.mdns.port = address->port;
        }
    }
    if (const auto window = milliseconds(environment, "GLOWRIG_SSDP_WINDOW_MS", 0, 60000)) {
        settings.ssdp.window = *window;
    }
    if (const auto wait = milliseconds(environment, "GLOWRIG_FIND_WAIT_MS", 0, 600000)) {
        settings.find_wait = *wait;
    }
    if (const auto timeout = milliseconds(environment, "GLOWRIG_TIMEOUT_MS", 1, 600000)) {
        settings.client.timeout = *timeout;
    }
    if (const auto ca_file = value_of(environment, "GLOWRIG_CA_FILE")) {
        settings.client.ca_file = *ca_file;
    }
    if (const auto bridge = value_of(environment, "GLOWRIG_BRIDGE")) {
        settings.default_bridge = Hue::read_bridge_name(*bridge);
        if (!settings.default_bridge) refuse("GLOWRIG_BRIDGE", "an address or a bridge id");
    }
    settings.credentials_file = credentials_file(environment);
    const auto force = value_of(environment, "CLICOLOR_FORCE");
    const auto term = value_of(environment, "TERM");
    settings.colour = !value_of(environment, "NO_COLOR") &&
                      ((force && *force != "0") || (terminal && term && *term != "dumb"));
    // A description fetch and a configuration read are requests too: a shorter
    // request time-out bounds them.
    settings.ssdp.fetch_timeout = std::min(settings.ssdp.fetch_timeout, settings.client.timeout);
    settings.mdns.config_timeout = std::min(settings.mdns.config_timeout, settings.client.timeout);
    return settings;
}

}  // namespace Cli
