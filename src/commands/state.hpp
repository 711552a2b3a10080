#ifndef GLOWRIG_COMMANDS_STATE_HPP_
#define GLOWRIG_COMMANDS_STATE_HPP_

#include "access/bridge_selection.hpp"
#include "commands/options.hpp"
#include "commands/output.hpp"
#include "commands/run_settings.hpp"

namespace Commands {

// Runs the "state" command: reads the bridge's whole state in one request and
// prints its configuration, lights, groups and schedules.
void run_state_command(const ListingOptions& options, const Settings& settings,
                       const Access::Target& target, const Output& output);

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_STATE_HPP_
