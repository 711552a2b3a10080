#ifndef GLOWRIG_COMMANDS_GROUPS_HPP_
#define GLOWRIG_COMMANDS_GROUPS_HPP_

#include "commands/command.hpp"

namespace Hue {
class Groups;
}  // namespace Hue

namespace commands {

// Runs the "groups" command: prints every group after re-reading each one.
void run_groups_command(const boost::program_options::variables_map& options,
                        const Settings& settings, const AppIdentity& identity);

// Runs the "group" command: with id "new" creates a group, with "delete"
// deletes one, otherwise renames, re-members and changes the action of the
// group "id" and prints it. Throws before any request when "id" is missing or
// a number is out of its field's range.
void run_group_command(const boost::program_options::variables_map& options,
                       const Settings& settings, const AppIdentity& identity);

// Writes "Groups:" and, for each group, an empty line, its labelled fields
// and the parts of its last action that the bridge reported, to std::cout.
void print_groups(const Hue::Groups& groups);

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_GROUPS_HPP_
