#ifndef GLOWRIG_COMMANDS_STATE_HPP_
#define GLOWRIG_COMMANDS_STATE_HPP_

#include "commands/command.hpp"

namespace commands {

// Runs the "state" command.
void run_state_command(const boost::program_options::variables_map& options,
                       const Settings& settings, const AppIdentity& identity);

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_STATE_HPP_
