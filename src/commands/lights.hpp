#ifndef GLOWRIG_COMMANDS_LIGHTS_HPP_
#define GLOWRIG_COMMANDS_LIGHTS_HPP_

#include <cstdint>

#include <cpprest/json.h>

#include "commands/bridge_selection.hpp"
#include "commands/options.hpp"
#include "commands/output.hpp"
#include "commands/settings.hpp"

namespace Hue {
class Lights;
enum class ColorMode : std::uint8_t;
}  // namespace Hue

namespace commands {

// Runs the "lights" command: prints every light from the listing, after
// reading one by one the lights it names without their state (old firmware),
// or with "find" starts the bridge's search, waits and prints the lights it
// found after `settings.find_wait` (90 s unless set otherwise).
void run_lights_command(const LightsOptions& options, const Settings& settings,
                        const Target& target, const Output& output);

// Runs the "light" command: renames the light "id" and changes its state as
// the options say (the fields that differ from its reported state, and an
// alert "select" or "lselect" always), then reads it again and prints it. The
// light is taken from the listing, and read before the change only when the
// listing names it without its state. Throws std::runtime_error
// "Error: no light with id 99." when the bridge lists no such light.
void run_light_command(const LightOptions& options, const Settings& settings, const Target& target,
                       const Output& output);

// Writes the lights as `output` asks: as a JSON document
// {"lights": lights_json(lights)}, or as text.
void print_lights(const Output& output, const Hue::Lights& lights);

// The lights as a JSON array: for each, its id, name, modelid, swversion and
// state (reachable, on, alert, effect, the colour fields, bri).
web::json::value lights_json(const Hue::Lights& lights);

// Writes "Lights:" and, for each light, an empty line and its labelled
// fields with its reported state, to std::cout.
void print_lights(const Hue::Lights& lights);

// Writes the "    Mode:" line with the text of `mode`, then the lines of
// that mode's values (hue and saturation, x and y, or colour temperature;
// none for invalid), to std::cout. Shared by the lights and groups printouts.
void print_color_mode(Hue::ColorMode mode, float x, float y, std::uint16_t ct, std::uint16_t hue,
                      std::uint8_t sat);

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_LIGHTS_HPP_
