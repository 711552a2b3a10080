#ifndef GLOWRIG_COMMANDS_CONFIG_HPP_
#define GLOWRIG_COMMANDS_CONFIG_HPP_

#include "commands/command.hpp"

namespace commands {

// Runs the "config" command.
void run_config_command(const boost::program_options::variables_map& options,
                        const web::web_proxy& proxy, const AppIdentity& identity);

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_CONFIG_HPP_
