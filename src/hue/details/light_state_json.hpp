#ifndef GLOWRIG_HUE_DETAILS_LIGHT_STATE_JSON_HPP_
#define GLOWRIG_HUE_DETAILS_LIGHT_STATE_JSON_HPP_

#include <cstdint>

#include <cpprest/json.h>

namespace Hue {

struct LightState;
struct GroupAction;

namespace details {

// The JSON of a light's state object and of a group's action object: one
// reader and one change-body builder serve both, so they cannot drift apart.

// Bits of the keys found in a state or action object (the same values as
// GroupActionField; "reachable" exists only in a light's state).
constexpr std::uint32_t kEffectKey = 0x001;
constexpr std::uint32_t kAlertKey = 0x002;
constexpr std::uint32_t kColorModeKey = 0x004;
constexpr std::uint32_t kXyKey = 0x008;
constexpr std::uint32_t kCtKey = 0x010;
constexpr std::uint32_t kHueKey = 0x020;
constexpr std::uint32_t kSatKey = 0x040;
constexpr std::uint32_t kBriKey = 0x080;
constexpr std::uint32_t kOnKey = 0x100;
constexpr std::uint32_t kReachableKey = 0x200;

// Reads the keys of `object` into `state`, in the order "on", "effect",
// "alert", "hue", "bri", "sat", "ct", "xy", "reachable", "colormode"; absent
// keys keep their values. Integers keep only the low bits that fit their field;
// "xy" sets x, then y, ignoring further elements; an unknown "colormode" text
// reads as invalid. Throws web::json::json_exception for a value of the wrong
// type (keys read before it keep their new values) or when `object` is not an
// object.
void read_light_state(const web::json::value& object, LightState& state);

// Reads an action object as read_light_state reads a state (without
// "reachable"), and sets action.flags to the GroupActionField bits of the
// keys found; only flags is cleared.
void read_group_action(const web::json::value& object, GroupAction& action);

// Returns the change body: "effect", "alert", "on", "bri", "ct", "hue", "sat"
// and "xy" ([x, y], when either differs) for every field in which `desired`
// differs from `reported`, plus "transitiontime" when that is not 0. Colour
// mode, reachability and presence flags are never sent. Returns null when no
// field differs, whatever the transition time.
web::json::value state_change(const LightState& reported, const LightState& desired,
                              std::uint16_t transitiontime);
web::json::value state_change(const GroupAction& reported, const GroupAction& desired,
                              std::uint16_t transitiontime);

}  // namespace details
}  // namespace Hue

#endif  // GLOWRIG_HUE_DETAILS_LIGHT_STATE_JSON_HPP_
