#ifndef GLOWRIG_COMMANDS_SCENES_HPP_
#define GLOWRIG_COMMANDS_SCENES_HPP_

#include "access/bridge_selection.hpp"
#include "commands/options.hpp"
#include "commands/output.hpp"
#include "commands/run_settings.hpp"

namespace Commands {

// Runs the "scenes" command: prints every scene of the scenes listing.
void run_scenes_command(const BriefListingOptions& options, const Settings& settings,
                        const Access::Target& target, const Output& output);

// Runs the "scene" command: recalls the scene "id" (an id or a name, see
// id_named) from the scenes listing in its own group when it is a group
// scene, else in the group "group", else in group 0 (every light), and prints
// "Scene recalled.". A "group" of digits alone is an id; any other is looked
// up, id or name, in the groups listing, read for it alone. Throws
// std::runtime_error "Error: no scene with id X." for a scene, and
// "Error: no group with id X." for a group named by neither id nor name.
void run_scene_command(const SceneOptions& options, const Settings& settings,
                       const Access::Target& target, const Output& output);

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_SCENES_HPP_
