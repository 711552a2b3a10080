#ifndef GLOWRIG_HUE_DETAILS_LIGHT_STATE_JSON_HPP_
#define GLOWRIG_HUE_DETAILS_LIGHT_STATE_JSON_HPP_

#include <cstdint>

#include "json/value.hpp"

namespace Hue {

struct LightFields;

namespace details {

// The JSON of a light's state object and of a group's action object: one
// reader and one change-body builder serve both records (LightState and
// GroupAction, which share LightFields), so they cannot drift apart.

// Reads the keys of `object` into `record` (a LightState or a GroupAction), in the order "on",
// "effect", "alert", "hue", "bri", "sat", "ct", "xy", "reachable" (a light's state only),
// "colormode"; absent keys keep their values. Integers keep only the low bits that fit their field;
// "xy" sets x, then y, ignoring further elements; an unknown "colormode" text reads as invalid. A
// GroupAction's flags are cleared first and gain the GroupActionField bit of each key as soon as it
// has been read; so does `*keys` (cleared first) when `keys` is not null. Throws Json::Error for
// a value of the wrong type (keys read before it keep their new values) or when `object` is not
// an object.
template <class Record>
void read_state(const Json::Value& object, Record& record, std::uint32_t* keys = nullptr);

// Returns the change body: "effect", "alert", "on", "bri", "ct", "hue", "sat"
// and "xy" ([x, y], when either differs; each rounded to four decimals and
// written in its shortest form, 0.64 or 0.3127) for every field in which `desired`
// differs from `reported` or whose LightField bit is set in `always` (sent as
// desired whatever was reported), "bri_inc" and "ct_inc" when `desired` holds
// such a step, plus "transitiontime" when that is not 0.
// Colour mode, reachability and presence flags are never sent. Returns null
// when there is no such field, whatever the transition time.
Json::Value state_change(const LightFields& reported, const LightFields& desired,
                         std::uint16_t transitiontime, std::uint32_t always = 0);

}  // namespace details
}  // namespace Hue

#endif  // GLOWRIG_HUE_DETAILS_LIGHT_STATE_JSON_HPP_
