#ifndef GLOWRIG_HUE_V2_EVENT_PROPERTIES_HPP_
#define GLOWRIG_HUE_V2_EVENT_PROPERTIES_HPP_

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

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

// The control id (1, 2, ...) of each button service by its id.
using ButtonControls = std::map<std::string, std::int64_t>;

// The older light or sensor `older` (its whole object, kind "light" or
// "sensor") after the resources `items` of one event (EventChange::items)
// are applied to it:
//   light                the state members light_state_after() gives;
//   zigbee_connectivity  "reachable" (status "connected" or not), in a
//                        light's "state", a sensor's "config";
//   motion               "presence" from the motion report;
//   temperature          "temperature" in hundredths of a degree;
//   light_level          "lightlevel", with "dark" and "daylight" from the
//                        sensor's "tholddark" and "tholdoffset";
//   button               "buttonevent", the control id in its thousands (from
//                        the item's metadata, else `controls`) and the event
//                        in the rest (initial_press 0, repeat and long_press
//                        1, short_release 2, long_release 3);
//   device_power         "battery" in the sensor's "config";
// each report's time as the state's "lastupdated", and "enabled" as the
// config's "on". nullopt when an item carries no property, is of another
// type or tells what has no older member: the resource must be read.
std::optional<Json::Value> older_item_after(const std::string& kind, const Json::Value& older,
                                            const Json::Value& items,
                                            const ButtonControls& controls);

// The ids of the button services among `items` whose control id neither
// their metadata nor `controls` gives.
std::vector<std::string> unknown_buttons(const Json::Value& items, const ButtonControls& controls);

}  // namespace Hue::V2

#endif  // GLOWRIG_HUE_V2_EVENT_PROPERTIES_HPP_
