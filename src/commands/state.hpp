#ifndef GLOWRIG_COMMANDS_STATE_HPP_
#define GLOWRIG_COMMANDS_STATE_HPP_

#include "commands/command.hpp"

namespace commands {

// Runs the "state" command.
void run_state_command(const boost::program_options::variables_map& options,
                       const web::web_proxy& proxy, const AppIdentity& identity);

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_STATE_HPP_
