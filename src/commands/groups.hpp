#ifndef GLOWRIG_COMMANDS_GROUPS_HPP_
#define GLOWRIG_COMMANDS_GROUPS_HPP_

#include "commands/command.hpp"

namespace commands {

// Runs the "groups" command: prints every group from the listing, after
// reading one by one the groups it gives without action or lights (old firmware).
void run_groups_command(const boost::program_options::variables_map& options,
                        const Settings& settings, const AppIdentity& identity);

// Runs the "group" command: with id "new" creates a group, with "delete"
// deletes one, otherwise renames, re-members and changes the action of the
// group "id" (sending every state option given), reads it again and prints
// it; the group is read before the change only when the listing did not give
// it whole. Throws UsageError before any request when "id" is missing or a
// value is refused, and std::runtime_error "Error: no group with id 9." when
// the group to change is not on the bridge's listing.
void run_group_command(const boost::program_options::variables_map& options,
                       const Settings& settings, const AppIdentity& identity);

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_GROUPS_HPP_
