#ifndef GLOWRIG_COMMANDS_CONFIG_HPP_
#define GLOWRIG_COMMANDS_CONFIG_HPP_

#include <cpprest/json.h>

#include "commands/bridge_selection.hpp"
#include "commands/options.hpp"
#include "commands/output.hpp"
#include "commands/settings.hpp"

namespace Hue {
class Configuration;
}  // namespace Hue

namespace commands {

// Runs the "config" command: reads the chosen bridge's configuration, carries
// out "auth", "deauth" or "updatefw" (the first of them given, in that order)
// and prints the configuration. Failures are thrown; an "auth" or "deauth"
// failure first prints "User creation failed" or "User deletion failed".
void run_config_command(const ConfigOptions& options, const Settings& settings,
                        const Target& target, const Output& output);

// Prints `configuration` (its settings and status as last read) to std::cout,
// starting with the line "Configuration:".
void print_configuration(const Hue::Configuration& configuration);

// The configuration as a JSON object: the settings and status the text
// printout shows, the times as ISO 8601 UTC text, the whitelist as an array
// in user id order.
web::json::value configuration_json(const Hue::Configuration& configuration);

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_CONFIG_HPP_
