#ifndef GLOWRIG_COMMANDS_SCHEDULES_HPP_
#define GLOWRIG_COMMANDS_SCHEDULES_HPP_

#include "commands/command.hpp"

namespace commands {

// Runs the "schedules" command.
void run_schedules_command(const boost::program_options::variables_map& options,
                           const web::web_proxy& proxy, const AppIdentity& identity);

// Runs the "schedule" command.
void run_schedule_command(const boost::program_options::variables_map& options,
                          const web::web_proxy& proxy, const AppIdentity& identity);

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_SCHEDULES_HPP_
