#ifndef GLOWRIG_HUE_V2_EVENT_PROPERTIES_HPP_
#define GLOWRIG_HUE_V2_EVENT_PROPERTIES_HPP_

#include <optional>

#include "json/value.hpp"

namespace Hue::V2 {

// The older state of a light after an event's resource `item` (a light of
// the newer interface, with only the properties that changed) is applied to
// `state`, the light's older "state": "on" from on.on; "bri" from
// dimming.brightness as a bridge scales it, round(brightness × 254 / 100),
// held to 1-254 while the light is on (0-254 while off); "xy" from
// color.xy; "ct" from color_temperature.mirek (a null mirek, a colour outside
// the white range, gives none); "colormode" "xy" or "ct" with them.
// Properties without an older name (effects, gradient, ...) change nothing.
// nullopt when the item carries no property at all, or a new name
// (metadata): the light must be read to know what changed.
std::optional<Json::Value> light_state_after(const Json::Value& state, const Json::Value& item);

}  // namespace Hue::V2

#endif  // GLOWRIG_HUE_V2_EVENT_PROPERTIES_HPP_
