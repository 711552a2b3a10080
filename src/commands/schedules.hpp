#ifndef GLOWRIG_COMMANDS_SCHEDULES_HPP_
#define GLOWRIG_COMMANDS_SCHEDULES_HPP_

#include "commands/command.hpp"

namespace Hue {
class Schedules;
}  // namespace Hue

namespace commands {

// Runs the "schedules" command: lists every schedule of the selected bridge,
// re-reading each one (after a pause of 100 ms) before printing them all.
void run_schedules_command(const boost::program_options::variables_map& options,
                           const Settings& settings, const AppIdentity& identity);

// Runs the "schedule" command on the schedule "id": deletes it with "delete";
// otherwise renames it "name", changes its description "desc", saves it
// and prints it as the bridge then reports it. Throws boost::bad_any_cast
// before any request when "id" is absent.
void run_schedule_command(const boost::program_options::variables_map& options,
                          const Settings& settings, const AppIdentity& identity);

// Writes "Schedules:" and then every schedule of `schedules`, with all of its
// fields, to the wide console stream.
void print_schedules(const Hue::Schedules& schedules);

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_SCHEDULES_HPP_
