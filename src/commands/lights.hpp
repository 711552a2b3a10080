#ifndef GLOWRIG_COMMANDS_LIGHTS_HPP_
#define GLOWRIG_COMMANDS_LIGHTS_HPP_

#include "commands/command.hpp"

namespace commands {

// Runs the "lights" command.
void run_lights_command(const boost::program_options::variables_map& options,
                        const web::web_proxy& proxy, const AppIdentity& identity);

// Runs the "light" command.
void run_light_command(const boost::program_options::variables_map& options,
                       const web::web_proxy& proxy, const AppIdentity& identity);

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_LIGHTS_HPP_
