#ifndef GLOWRIG_COMMANDS_GROUPS_HPP_
#define GLOWRIG_COMMANDS_GROUPS_HPP_

#include "access/bridge_selection.hpp"
#include "commands/options.hpp"
#include "commands/output.hpp"
#include "commands/run_settings.hpp"

namespace Hue {
class Group;
struct GroupAction;
}  // namespace Hue

namespace Commands {

// Runs the "groups" command: prints every group from the listing (with
// "--type", those of one kind: room, zone, or group for a plain group or one
// without a type), after reading one by one the groups it gives without
// action or lights (old firmware); with "--brief", one line per group (see
// groups_brief), the lights listing read for the members.
void run_groups_command(const GroupsOptions& options, const Settings& settings,
                        const Access::Target& target, const Output& output);

// Refuses, with UsageError, a "group" command line that cannot be carried
// out: "--id=new" without "--name" and at least one "-l"; "--type" or
// "--class" for a group that is not new; "--class" but for a room or zone,
// or naming no class a bridge takes (letter case aside); and state options
// check_state_options refuses.
void check_group_options(const GroupOptions& options);

// The action the state options ask of `group`: its last action with the
// colour options (see apply_colour_options), a toggle and the other state
// options applied. For a toggle, a group not known whole (group 0) is read
// first. Throws, before anything is sent, as apply_colour_options does.
Hue::GroupAction group_action(Hue::Group& group, const StateOptions& options, const Output& output);

// Runs the "group" command: with id "new" creates a group, with "delete"
// deletes one, otherwise renames, re-members and changes the action of the
// group "id" (sending every state option given), reads it again and prints
// it; the group is read before the change only when the listing did not give
// it whole. "id" may also be a group's name (see id_named). The members "-l"
// are ids or whole names of lights, checked against one read of the lights
// listing. Throws std::runtime_error, with nothing sent: "Error: no group
// with id 9." when the group to change is not on the bridge's listing; "Error:
// no light with id or name X." for a member no light has; "Error: group 5 is
// named Kitchen already." when the new name is another group's (letter case
// aside); "Error: light 3 (Desk) is in room Kitchen already; a light can be
// in one room." when a member of a new room, or a new member of a room, is in
// another room; and as id_to_delete does for a delete.
void run_group_command(const GroupOptions& options, const Settings& settings,
                       const Access::Target& target, const Output& output);

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_GROUPS_HPP_
