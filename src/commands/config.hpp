#ifndef GLOWRIG_COMMANDS_CONFIG_HPP_
#define GLOWRIG_COMMANDS_CONFIG_HPP_

#include "access/bridge_selection.hpp"
#include "commands/options.hpp"
#include "commands/output.hpp"
#include "commands/run_settings.hpp"

namespace Commands {

// Runs the "config" command: reads the chosen bridge's configuration, carries
// out "auth", "deauth" or "updatefw" (the first of them given, in that order)
// and prints the line of what it did ("User created", ...) and the
// configuration. Failures are thrown, "User not found" for a "deauth" of a
// user the bridge does not know; an "auth" or "deauth" failure first notes
// "User creation failed" or "User deletion failed".
void run_config_command(const ConfigOptions& options, const Settings& settings,
                        const Access::Target& target, const Output& output);

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_CONFIG_HPP_
