#ifndef GLOWRIG_COMMANDS_SCHEDULES_HPP_
#define GLOWRIG_COMMANDS_SCHEDULES_HPP_

#include "commands/command.hpp"

namespace commands {

// Runs the "schedules" command: lists every schedule of the selected bridge
// from the listing, after reading one by one (each after a pause of 100 ms)
// the schedules it gives without command or time (old firmware).
void run_schedules_command(const boost::program_options::variables_map& options,
                           const Settings& settings, const AppIdentity& identity);

// Runs the "schedule" command on the schedule "id": deletes it with "delete";
// otherwise renames it "name", changes its description "desc", saves it
// and prints it as the bridge then reports it. The schedule is read before
// the change only when the listing did not give it whole. Throws UsageError before any
// request when "id" is absent, and std::runtime_error "Error: no schedule
// with id 9." when the schedule to change is not on the bridge's listing.
void run_schedule_command(const boost::program_options::variables_map& options,
                          const Settings& settings, const AppIdentity& identity);

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_SCHEDULES_HPP_
