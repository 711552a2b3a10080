#ifndef GLOWRIG_COMMANDS_SCHEDULES_HPP_
#define GLOWRIG_COMMANDS_SCHEDULES_HPP_

#include "access/bridge_selection.hpp"
#include "commands/options.hpp"
#include "commands/output.hpp"
#include "commands/run_settings.hpp"

namespace Commands {

// Runs the "schedules" command: lists every schedule of the selected bridge
// from the listing, after reading one by one (each after a pause of 100 ms)
// the schedules it gives without command or time (old firmware).
void run_schedules_command(const BriefListingOptions& options, const Settings& settings,
                           const Access::Target& target, const Output& output);

// Refuses, with UsageError, "--enable" together with "--disable".
void check_schedule_options(const ScheduleOptions& options);

// Runs the "schedule" command on the schedule "id": deletes it with "delete"
// (see id_to_delete); otherwise renames it "name", changes its description
// "desc" and switches it on or off ("enable", "disable": its status), sending
// those alone, in one request and only when given, and prints it as the
// bridge then reports it. The schedule is read before the change only when
// the listing did not give it whole. "id" may also be a schedule's name (see
// id_named), save "new". Throws std::runtime_error "Error: no schedule with
// id 9." when the schedule to change is not on the bridge's listing.
void run_schedule_command(const ScheduleOptions& options, const Settings& settings,
                          const Access::Target& target, const Output& output);

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_SCHEDULES_HPP_
