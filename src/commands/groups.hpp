#ifndef GLOWRIG_COMMANDS_GROUPS_HPP_
#define GLOWRIG_COMMANDS_GROUPS_HPP_

#include "commands/command.hpp"

namespace commands {

// Runs the "groups" command.
void run_groups_command(const boost::program_options::variables_map& options,
                        const web::web_proxy& proxy, const AppIdentity& identity);

// Runs the "group" command.
void run_group_command(const boost::program_options::variables_map& options,
                       const web::web_proxy& proxy, const AppIdentity& identity);

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_GROUPS_HPP_
