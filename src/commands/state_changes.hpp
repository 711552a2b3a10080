#ifndef GLOWRIG_COMMANDS_STATE_CHANGES_HPP_
#define GLOWRIG_COMMANDS_STATE_CHANGES_HPP_

#include <cstdint>

#include "commands/options.hpp"

namespace Hue {
struct LightState;
struct GroupAction;
}  // namespace Hue

namespace Commands {

// The Hue::LightField bits of the state options given (on, off or toggle,
// bri, ct or kelvin, hue, sat, xy or color, alert, effect); "trans" and the
// steps of "bri" and "ct" have none.
std::uint32_t fields_given(const StateOptions& changes);

// Applies the changes to a light's state or a group's action, in the order
// toggle (the opposite of the record's "on"), off, on, bri, ct, hue, sat,
// alert, effect; a step of "bri" or "ct" goes into bri_inc or ct_inc. The colour options in human
// terms are applied by apply_colour_options.
void apply_state_options(const StateOptions& changes, Hue::LightState& state);
void apply_state_options(const StateOptions& changes, Hue::GroupAction& action);

}  // namespace Commands

#endif  // GLOWRIG_COMMANDS_STATE_CHANGES_HPP_
