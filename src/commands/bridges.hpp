#ifndef GLOWRIG_COMMANDS_BRIDGES_HPP_
#define GLOWRIG_COMMANDS_BRIDGES_HPP_

#include "commands/command.hpp"

namespace commands {

// Runs the "bridges" command: finds every bridge and prints the table of
// their ids, IP addresses and MAC addresses.
void run_bridges_command(const boost::program_options::variables_map& options,
                         const Settings& settings, const AppIdentity& identity);

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_BRIDGES_HPP_
