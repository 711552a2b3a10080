#ifndef GLOWRIG_COMMANDS_LIGHTS_HPP_
#define GLOWRIG_COMMANDS_LIGHTS_HPP_

#include <chrono>

#include "access/bridge_selection.hpp"
#include "commands/options.hpp"
#include "commands/output.hpp"
#include "commands/run_settings.hpp"

namespace Commands {

// The --id of "light" that names every light of the bridge.
constexpr const char* kEveryLight = "all";

// Runs the "lights" command: prints every light from the listing, after
// reading one by one the lights it names without their state (old firmware),
// or with "find" starts the bridge's search, waits and prints the lights it
// found after `settings.find_wait` (90 s unless set otherwise).
void run_lights_command(const LightsOptions& options, const Settings& settings,
                        const Access::Target& target, const Output& output);

// Refuses, with UsageError, a "light" command line whose state options
// check_state_options refuses, and one that renames every light.
void check_light_options(const LightOptions& options);

// Runs the "light" command: refuses a colour the light cannot show (see
// apply_colour_options), renames the light "id" and changes its state as
// the options say (the fields that differ from its reported state, a step of
// brightness or colour temperature, and an alert "select" or "lselect"
// always), then reads it again and prints it, with a note on the error
// stream when it reports itself unreachable. The light is taken from the
// listing, and read before the change only when the listing names it without
// its state. "id" may also be a light's name (see id_named), or a comma list
// of ids and names: each of those lights is changed in turn, paced as
// Hue::paced paces light commands, and all are printed together; every one is
// checked before the first is changed. "id" kEveryLight changes every light
// with one command to group 0 and prints the lights listing. Throws
// std::runtime_error "Error: no light with id 99." when the bridge lists no
// such light, and UsageError when a rename names several.
void run_light_command(const LightOptions& options, const Settings& settings,
                       const Access::Target& target, const Output& output);

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_LIGHTS_HPP_
