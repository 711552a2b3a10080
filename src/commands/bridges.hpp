#ifndef GLOWRIG_COMMANDS_BRIDGES_HPP_
#define GLOWRIG_COMMANDS_BRIDGES_HPP_

#include "commands/options.hpp"
#include "commands/output.hpp"
#include "commands/run_settings.hpp"

namespace Commands {

// Runs the "bridges" command: finds every bridge and prints the table of
// their ids, IP addresses and MAC addresses.
void run_bridges_command(const BridgesOptions& options, const Settings& settings,
                         const Output& output);

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_BRIDGES_HPP_
