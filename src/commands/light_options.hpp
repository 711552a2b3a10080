#ifndef GLOWRIG_COMMANDS_LIGHT_OPTIONS_HPP_
#define GLOWRIG_COMMANDS_LIGHT_OPTIONS_HPP_

#include <cstdint>
#include <optional>
#include <string>

#include <boost/program_options/variables_map.hpp>

namespace Hue {
struct LightState;
struct GroupAction;
}  // namespace Hue

namespace commands {

// The state changes asked for with the options "on", "off", "bri", "ct",
// "hue", "sat", "alert", "effect" and "trans", which the light and group
// commands share. Absent options change nothing.
struct StateOptions {
    std::optional<bool> on;
    std::optional<std::uint8_t> bri;
    std::optional<std::uint16_t> ct;
    std::optional<std::uint16_t> hue;
    std::optional<std::uint8_t> sat;
    std::optional<std::string> alert;
    std::optional<std::string> effect;
    std::uint16_t transitiontime = 0;  // tenths of a second; 0 when "trans" is absent
};

// Reads the state options. "off" and then "on" decide on, so both together
// turn the light on. Throws UsageError "Error: option 'bri' must be between
// 0 and 255." when bri or sat lies outside 0..255, or ct, hue or trans
// outside 0..65535, so that no value is silently cut to its field's width;
// and "Error: option 'effect' must be none or colorloop." (alert: none,
// select or lselect) for any other word (exact, case-sensitive comparison).
StateOptions read_state_options(const boost::program_options::variables_map& options);

// The Hue::LightField bits of the state options given (on, bri, ct, hue,
// sat, alert, effect); "trans" has none.
std::uint32_t fields_given(const StateOptions& changes);

// Applies the changes to a light's state or a group's action, in the order
// on, bri, ct, hue, sat, alert, effect.
void apply_state_options(const StateOptions& changes, Hue::LightState& state);
void apply_state_options(const StateOptions& changes, Hue::GroupAction& action);

}  // namespace commands

#endif  // GLOWRIG_COMMANDS_LIGHT_OPTIONS_HPP_
