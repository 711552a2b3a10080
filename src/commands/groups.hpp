#ifndef GLOWRIG_COMMANDS_GROUPS_HPP_
#define GLOWRIG_COMMANDS_GROUPS_HPP_

#include "access/bridge_selection.hpp"
#include "commands/options.hpp"
#include "commands/output.hpp"
#include "commands/run_settings.hpp"

namespace Commands {

// Runs the "groups" command: prints every group from the listing, after
// reading one by one the groups it gives without action or lights (old firmware).
void run_groups_command(const ListingOptions& options, const Settings& settings,
                        const Access::Target& target, const Output& output);

// Refuses, with UsageError, a "group" command line that cannot be carried
// out: "--id=new" without "--name" and at least one "-l", and state options
// check_state_options refuses.
void check_group_options(const GroupOptions& options);

// Runs the "group" command: with id "new" creates a group, with "delete"
// deletes one, otherwise renames, re-members and changes the action of the
// group "id" (sending every state option given), reads it again and prints
// it; the group is read before the change only when the listing did not give
// it whole. "id" may also be a group's name (see id_named). Throws
// std::runtime_error "Error: no group with id 9." when the group to change is
// not on the bridge's listing.
void run_group_command(const GroupOptions& options, const Settings& settings,
                       const Access::Target& target, const Output& output);

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_GROUPS_HPP_
