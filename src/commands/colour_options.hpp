#ifndef GLOWRIG_COMMANDS_COLOUR_OPTIONS_HPP_
#define GLOWRIG_COMMANDS_COLOUR_OPTIONS_HPP_

#include <cstdint>
#include <string>

#include "commands/options.hpp"
#include "commands/output.hpp"
#include "hue/lights.hpp"
#include "util/colour.hpp"

namespace Hue {
class Group;
}  // namespace Hue

namespace Commands {

// The colour options in human terms ("--color", "--xy", "--kelvin") and the
// options they exclude, read and carried out.

// The point of the colour diagram a "--color" value names ("#rrggbb",
// "rrggbb", "rgb(R,G,B)" or a colour name), converted from sRGB. Throws
// UsageError for a text that names no colour, and for black.
Util::Xy colour_point(const std::string& text);

// The point an "--xy" value names: "X,Y", two numbers 0-1. Throws
// UsageError for any other text.
Util::Xy xy_point(const std::string& text);

// Refuses, with UsageError, state options that cannot go together: more
// than one of "--color", "--xy", "--hue"/"--sat", "--kelvin" and "--ct";
// "--toggle" with "--on" or "--off"; "--on" with "--off".
void check_state_options(const StateOptions& changes);

// What a light or a group can show, as the colour options need it.
struct ColourTarget {
    std::string what;  // "light 3 (Desk)"
    bool colour = true;
    bool temperature = true;
    bool brightness = true;
    Util::Gamut gamut = Util::kWidestGamut;
    Hue::MiredRange ct{153, 500};
};

// A light can show colour when it reports a colour triangle or its state
// holds "xy" or "hue", colour temperature when it reports a range or its
// state holds "ct"; the triangle and range are its own when it reports them.
ColourTarget colour_target(const Hue::Light& light);

// A group takes every colour option; its lights show what they can of it.
ColourTarget colour_target(const Hue::Group& group);

// Puts into `fields` the x and y, or ct, that "--color", "--xy" or
// "--kelvin" ask of `target` (a point outside its triangle moved to the
// nearest point of it; a ct outside its range held to the range, with a note
// on the error stream), and returns the Hue::LightField bits to send even
// when `fields` report that value already: xy or ct when the reported colour
// mode is another. Throws std::runtime_error, naming the target and what it
// can do, when it cannot show what is asked; nothing has been sent then.
// REQUIRES: check_state_options(changes) passed.
std::uint32_t apply_colour_options(const StateOptions& changes, const ColourTarget& target,
                                   const Output& output, Hue::LightFields& fields);

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_COLOUR_OPTIONS_HPP_
