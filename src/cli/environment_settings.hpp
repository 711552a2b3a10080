#ifndef GLOWRIG_CLI_ENVIRONMENT_SETTINGS_HPP_
#define GLOWRIG_CLI_ENVIRONMENT_SETTINGS_HPP_

#include <functional>

#include "commands/run_settings.hpp"

namespace Cli {

// Looks up one environment variable; null when it is not set.
using Environment = std::function<const char*(const char* name)>;

// Returns the settings of this run, read once from the environment: the
// portal (GLOWRIG_PORTAL, host[:port] or an http(s) URL; none when unset), the SSDP search address
// (GLOWRIG_SSDP, ip:port or [ipv6]:port), the mDNS search address (GLOWRIG_MDNS,
// the same forms, or "off" to leave it out), the window of both searches
// (GLOWRIG_SSDP_WINDOW_MS, 0 to 60000), the wait of "lights --find" (GLOWRIG_FIND_WAIT_MS, 0 to
// 600000) and the request time-out (GLOWRIG_TIMEOUT_MS, 1 to 600000), which
// also bounds the fetch of a device description and the configuration read
// of an mDNS answer without an id, the bridge used when the
// command line names none (GLOWRIG_BRIDGE) and the credentials file
// ($XDG_CONFIG_HOME/glowrig/bridges.json, or $HOME/.config/glowrig/bridges.json
// when XDG_CONFIG_HOME is not an absolute path), and whether brief listings
// colour their output: never when NO_COLOR is set, always when
// CLICOLOR_FORCE is set to anything but 0, else when standard output is a
// `terminal` and TERM is set and not "dumb". Unset or empty variables leave
// the defaults. Throws Commands::UsageError naming the
// variable, for example "Error: GLOWRIG_SSDP must be host:port.", when a
// value is malformed.
Commands::Settings read_settings(const Environment& environment, bool terminal = false);

}  // namespace Cli

#endif  // GLOWRIG_CLI_ENVIRONMENT_SETTINGS_HPP_
