#ifndef GLOWRIG_COMMANDS_LIGHTS_HPP_
#define GLOWRIG_COMMANDS_LIGHTS_HPP_

#include "commands/command.hpp"

namespace commands {

// Runs the "lights" command: prints every light from the listing, after
// reading one by one the lights it names without their state (old firmware),
// or with "find" starts the bridge's search, waits and prints the lights it
// found after `settings.find_wait` (90 s unless set otherwise).
void run_lights_command(const boost::program_options::variables_map& options,
                        const Settings& settings, const AppIdentity& identity);

// Runs the "light" command: renames the light "id" and changes its state as
// the options say (the fields that differ from its reported state, and an
// alert "select" or "lselect" always), then reads it again and prints it. The
// light is taken from the listing, and read before the change only when the
// listing names it without its state. Throws UsageError before any request when
// "id" is missing or a value is refused, and std::runtime_error
// "Error: no light with id 99." when the bridge lists no such light.
void run_light_command(const boost::program_options::variables_map& options,
                       const Settings& settings, const AppIdentity& identity);

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_LIGHTS_HPP_
